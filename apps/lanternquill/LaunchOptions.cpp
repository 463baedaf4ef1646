#include "LaunchOptions.h"

namespace lq {

LaunchOptions ParseLaunchOptions(const std::vector<std::wstring>& arguments) {
    LaunchOptions options;
    const size_t count = arguments.size();
    for (size_t i = 0; i < count; ++i) {
        const std::wstring& argument = arguments[i];
        if (argument == L"--smoke") {
            options.smoke = true;
        } else if (argument == L"--silent") {
            options.silent = true;
        } else if (argument == L"--bench" || argument == L"--db") {
            if (i + 1 >= count) break;  // an option that needs a value and comes last
            const std::wstring& value = arguments[++i];
            if (argument == L"--bench") {
                options.bench = value;
            } else if (!value.empty()) {
                options.db = value;
            }
        }
    }
    return options;
}

}  // namespace lq
