#pragma once

#include "platform/Processes.h"

#include <map>

namespace bw::test {

// This process and the others alive, by number and identity.
class FakeProcesses : public Processes {
public:
    qint64 currentProcessId() override { return current; }
    QString identity(qint64 processId) override
    {
        const auto it = alive.find(processId);
        return it == alive.end() ? QString() : it->second;
    }

    qint64 current = 100;
    std::map<qint64, QString> alive{{100, QStringLiteral("boot/100")}};
};

} // namespace bw::test
