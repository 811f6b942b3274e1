#include "jre/testing/RuntimeFakes.h"

#include "image/LittleEndian.h"
#include "image/PeLayout.h"

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
    // The PE signature right behind the DOS header, the machine type behind it.
    std::vector<std::uint8_t> bytes(pe::dosHeaderSize + pe::machineField + 2, 0);
    writeLittleEndian(bytes.data(), pe::dosSignature, 2);
    writeLittleEndian(bytes.data() + pe::peOffsetField, pe::dosHeaderSize, 4);
    writeLittleEndian(bytes.data() + pe::dosHeaderSize, pe::signature, 4);
    writeLittleEndian(bytes.data() + pe::dosHeaderSize + pe::machineField, machine, 2);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace qarvo::testing
