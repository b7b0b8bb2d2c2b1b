// Writes the benchmark tree: 10,000 folders, 10 files in each (100,000 files),
// two of them spreadsheets (20,000 .ods, every fifth with an upper-case
// extension), the rest of eight other kinds. Files are empty.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int FolderCount = 10000;
constexpr int FilesPerFolder = 10;
constexpr int FanOut = 10;

bool makeFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0755) == 0 || errno == EEXIST)
        return true;
    std::fprintf(stderr, "cannot create %s: %s\n", path.c_str(), std::strerror(errno));
    return false;
}

bool makeFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        std::fprintf(stderr, "cannot create %s: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    ::close(fd);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s ROOT\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    if (!makeFolder(root))
        return 1;

    // Breadth first: every folder gets up to FanOut sub-folders until there are enough.
    std::vector<std::string> folders;
    folders.reserve(FolderCount);
    std::vector<std::string> parents{root};
    for (size_t parent = 0; folders.size() < FolderCount; ++parent) {
        for (int child = 0; child < FanOut && folders.size() < FolderCount; ++child) {
            folders.push_back(parents[parent] + "/dir" + std::to_string(child));
            parents.push_back(folders.back());
            if (!makeFolder(folders.back()))
                return 1;
        }
    }

    static const char* const others[] = {"txt", "csv", "xls", "pdf", "odt", "png", "xlsx", "doc"};
    long spreadsheets = 0;
    long files = 0;
    for (const std::string& folder : folders) {
        for (int i = 0; i < FilesPerFolder; ++i) {
            std::string extension;
            if (i < 2)
                extension = (spreadsheets++ % 5 == 4) ? (i == 0 ? "ODS" : "Ods") : "ods";
            else
                extension = others[i - 2];
            if (!makeFile(folder + "/file" + std::to_string(files++) + "." + extension))
                return 1;
        }
    }
    std::printf("folders=%zu files=%ld spreadsheets=%ld\n", folders.size(), files, spreadsheets);
    return 0;
}
