// The "wine" CTest fixture: "setup" makes (or reuses) the template prefix and
// starts the shared prefix's server; "cleanup" stops every server the test run
// left and removes the prefixes in use. The template stays for the next run.
#include <cstring>
#include <iostream>

#include "WineHarness.h"

int main(int argc, char** argv) {
    using namespace qarvo::wine;
    if (argc == 2 && std::strcmp(argv[1], "setup") == 0) {
        std::string error;
        if (!prepareTemplate(error) || !prepareSharedPrefix(error)) {
            std::cerr << "wine fixture: " << error << "\n";
            return 1;
        }
        std::cout << "template and shared prefix ready in " << wineRoot().string() << "\n";
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "cleanup") == 0) {
        removePrefixesInUse();
        return 0;
    }
    std::cerr << "usage: " << argv[0] << " setup|cleanup\n";
    return 2;
}
