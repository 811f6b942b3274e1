#include "jre/testing/RuntimeFakes.h"

namespace qarvo::testing {

RuntimeFixture::RuntimeFixture() { enableLog(); }

void RuntimeFixture::addJavaExe(const std::string& path, const std::string& output, std::uint16_t machine,
                                os::FileTime time) {
    files.addFile(path, peHeader(machine), time);
    processes.scripts[files.key(path)] = {output};
}

std::string RuntimeFixture::addRuntime(const std::string& home, const std::string& version,
                                       const std::string& type) {
    const std::string javaExe = home + "\\bin\\java.exe";
    addJavaExe(javaExe, "java version \"" + version + "\"\n");
    files.addFile(home + "\\bin\\javaw.exe", peHeader(0x014C));
    addJvmDll(home + "\\bin\\" + type + "\\jvm.dll");
    return javaExe;
}

void RuntimeFixture::addJvmDll(const std::string& path, std::uint32_t loadError) {
    files.addFile(path, "MZ");
    libraries.modules[libraries.moduleKey(path)].loadError = loadError;
}

std::string peHeader(std::uint16_t machine) {
    std::string bytes(0x48, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    bytes[0x3C] = 0x40;
    bytes.replace(0x40, 4, std::string("PE\0\0", 4));
    bytes[0x44] = static_cast<char>(machine & 0xFF);
    bytes[0x45] = static_cast<char>(machine >> 8);
    return bytes;
}

}  // namespace qarvo::testing
