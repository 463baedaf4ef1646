#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace lq::test {

// A fresh, empty folder under the system's temporary folder, removed with everything in it when the
// object goes. Each test makes its own, so no test sees another's leftovers.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const noexcept { return path_; }
    // The full path of `name` inside the folder (nothing is created).
    [[nodiscard]] std::wstring File(const std::wstring& name) const;

private:
    std::filesystem::path path_;
};

// The names of the entries directly inside `folder`, in the order the file system lists them.
[[nodiscard]] std::vector<std::wstring> FileNamesIn(const std::filesystem::path& folder);

}  // namespace lq::test
