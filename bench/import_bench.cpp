// Decoding speed of the import path on files of the size limit (100 MiB): UTF-8 without a mark and
// code page 932, read from disk and decoded, and decoded from memory. Prints figures; the inputs are
// generated in a temporary folder and removed afterwards.
#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "support/FileBytes.h"
#include "support/TempFolder.h"
#include "textfiles/ImportDecoding.h"
#include "textfiles/TextFileReader.h"

namespace {

// Lines of `line` repeated up to exactly `size` bytes, the tail padded with ASCII.
std::string Fill(std::string_view line, size_t size) {
    std::string bytes;
    bytes.reserve(size);
    while (bytes.size() + line.size() <= size) bytes += line;
    bytes.append(size - bytes.size(), 'a');
    return bytes;
}

double NowMs() {
    LARGE_INTEGER frequency{}, counter{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Run>
double BestOf(int runs, Run run) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const double start = NowMs();
        run();
        const double elapsed = NowMs() - start;
        if (elapsed < best) best = elapsed;
    }
    return best;
}

const char* EncodingName(lq::TextEncoding encoding) {
    switch (encoding) {
        case lq::TextEncoding::Utf8Bom:
            return "utf8-bom";
        case lq::TextEncoding::Utf16Le:
            return "utf16le";
        case lq::TextEncoding::Utf16Be:
            return "utf16be";
        case lq::TextEncoding::Utf8:
            return "utf8";
        case lq::TextEncoding::Cp932:
            return "cp932";
    }
    return "?";
}

int Measure(const char* label, const lq::test::TempFolder& folder, const std::string& bytes) {
    const std::wstring path = folder.File(L"input.txt");
    if (!lq::test::WriteFileBytes(path, bytes)) {
        std::printf("%s: could not write the input file\n", label);
        return 1;
    }
    constexpr int kRuns = 3;
    lq::ImportedText result;
    const double fromDisk = BestOf(kRuns, [&] { result = lq::ReadTextFile(path); });
    if (result.error != lq::ImportError::None) {
        std::printf("%s: refused with error %d\n", label, static_cast<int>(result.error));
        return 1;
    }
    const double inMemory = BestOf(kRuns, [&] { result = lq::DecodeTextBytes(bytes); });
    const double lineEnds = BestOf(kRuns, [&] { (void)lq::NormalizeLineEndingsCrlf(result.text); });
    const double megabytes = static_cast<double>(bytes.size()) / (1024.0 * 1024.0);
    std::printf(
        "%-6s %.0f MiB as %s -> %zu bytes of UTF-8: read+decode %.0f ms (%.0f MiB/s), decode only %.0f ms "
        "(%.0f MiB/s), line-end pass alone %.0f ms (best of %d)\n",
        label, megabytes, EncodingName(result.encoding), result.text.size(), fromDisk, megabytes * 1000.0 / fromDisk,
        inMemory, megabytes * 1000.0 / inMemory, lineEnds, kRuns);
    DeleteFileW(path.c_str());
    return 0;
}

}  // namespace

int main() {
    const lq::test::TempFolder folder;
    const size_t size = static_cast<size_t>(lq::kMaxImportBytes);
    // Japanese prose with ASCII, LF line ends (each becomes CR LF).
    const std::string utf8Line =
        "\xE4\xBB\x8A\xE6\x97\xA5\xE3\x81\xAE\xE4\xBC\x9A\xE8\xAD\xB0\xE3\x83\xA1\xE3\x83\xA2 meeting 2026-12-10 "
        "\xE8\xA1\xA8\xE7\xA4\xBA\xE3\x81\xAE\xE7\xA2\xBA\xE8\xAA\x8D\n";
    // The same kind of line in Shift-JIS (as code page 932), CR LF line ends.
    const std::string cp932Line =
        "\x8D\xA1\x93\xFA\x82\xCC\x89\xEF\x8B\x63\x83\x81\x83\x82 meeting 2026-12-10 \x95\x5C\x8E\xA6\x82\xCC"
        "\x8A\x6D\x94\x46\xB1\xB2\xB3\r\n";
    int failures = Measure("utf8", folder, Fill(utf8Line, size));
    failures += Measure("cp932", folder, Fill(cp932Line, size));
    return failures;
}
