// Writes a configured launcher: the generic launcher with a configuration block
// made from a "key=value" file appended to it.
//   make_launcher <generic launcher.exe> <config file> <output.exe>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "image/LauncherImage.h"

namespace {

std::string unescape(const std::string& value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else {
            out += value[i];
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_launcher <launcher.exe> <config> <output.exe>\n");
        return 2;
    }
    std::ifstream launcher(argv[1], std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(launcher)), std::istreambuf_iterator<char>());
    if (bytes.empty()) {
        std::fprintf(stderr, "make_launcher: cannot read %s\n", argv[1]);
        return 1;
    }
    qarvo::ConfigBlockContent content;
    std::ifstream config(argv[2]);
    std::string line;
    int lineNumber = 0;
    while (std::getline(config, line)) {
        ++lineNumber;
        if (line.empty() || line[0] == '#') continue;
        std::size_t eq = line.find('=');
        char* end = nullptr;
        long key = eq == std::string::npos ? 0 : std::strtol(line.c_str(), &end, 10);
        if (eq == std::string::npos || end != line.c_str() + eq) {
            std::fprintf(stderr, "make_launcher: %s:%d: expected key=value\n", argv[2], lineNumber);
            return 1;
        }
        content.strings.emplace_back(static_cast<std::int32_t>(key), unescape(line.substr(eq + 1)));
    }
    std::vector<std::uint8_t> image;
    std::string error;
    if (!qarvo::writeLauncherImage(bytes, content, {}, image, error)) {
        std::fprintf(stderr, "make_launcher: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    std::ofstream out(argv[3], std::ios::binary);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    return out ? 0 : 1;
}
