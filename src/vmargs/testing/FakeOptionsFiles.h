// In-memory ".vmoptions" files for native tests, read as the C runtime reads a
// file opened in text mode on Windows.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "vmargs/OptionsFile.h"

namespace qarvo::testing {

// Installs itself on construction and puts the C runtime's files back on
// destruction. Paths are compared without regard to case and runs of
// backslashes, as on Windows.
class FakeOptionsFiles final : public OptionsFileOpener {
public:
    FakeOptionsFiles();
    ~FakeOptionsFiles() override;
    FakeOptionsFiles(const FakeOptionsFiles&) = delete;
    FakeOptionsFiles& operator=(const FakeOptionsFiles&) = delete;

    std::unique_ptr<OptionsFile> open(const std::string& path) override;

    void add(const std::string& path, const std::string& content);
    std::vector<std::string> opened;  // every path asked for, in order
    int openNow = 0;                  // files open at this moment
    int mostOpen = 0;                 // most files open at once

private:
    std::map<std::string, std::string> files_;
};

}  // namespace qarvo::testing
