#pragma once

namespace bw {

class FileListModel;
class ListViewPort;

// Delete, double-click, Move Up and Move Down. Every step that fails is
// skipped and the command goes on with its next step; nothing is shown.
class EditingCommands {
public:
    static constexpr int DeleteKeyCode = 46;

    EditingCommands(FileListModel& list, ListViewPort& view);

    // Returns true when the key was handled (Delete, whatever the modifiers).
    bool keyDown(int keyCode);
    void removeSelected();
    void moveUp();
    void moveDown();

private:
    FileListModel& list_;
    ListViewPort& view_;
};

} // namespace bw
