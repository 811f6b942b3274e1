// The only file of the build tool that calls the operating system: the C
// library's files for reading and writing, std::filesystem for the rest, and
// the few calls that differ between Windows and the others (wide file names,
// the terminal test, the tool's own path).
#include "builder/HostSystem.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <stdio.h>
#include <windows.h>
#include <shellapi.h>
#else
#include <unistd.h>
#if defined(__APPLE__)
#include <mach-o/dyld.h>
#endif
#endif

namespace qarvo::builder {

namespace fs = std::filesystem;

namespace {

// Paths are UTF-8 in the tool; Windows wants them wide.
fs::path toPath(const std::string& path) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(path.data()), path.size()));
}

std::string fromPath(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

std::FILE* openFile(const fs::path& path, bool write) {
#ifdef _WIN32
    return _wfopen(path.c_str(), write ? L"wb" : L"rb");
#else
    return std::fopen(path.c_str(), write ? "wb" : "rb");
#endif
}

std::string systemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

bool seekTo(std::FILE* file, std::uint64_t offset) {
#ifdef _WIN32
    return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

class RealInputFile final : public InputFile {
public:
    RealInputFile(std::FILE* file, std::uint64_t size) : file_(file), size_(size) {}
    ~RealInputFile() override { std::fclose(file_); }

    Result readAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        Result result;
        if (offset != position_) {
            if (!seekTo(file_, offset)) return {0, false, static_cast<std::uint32_t>(errno)};
            position_ = offset;
        }
        result.bytes = std::fread(buffer, 1, size, file_);
        position_ += result.bytes;
        if (result.bytes < size && std::ferror(file_)) {
            result.ok = false;
            result.error = static_cast<std::uint32_t>(errno);
            std::clearerr(file_);
            position_ = UINT64_MAX;  // unknown: seek before the next read
        }
        return result;
    }
    std::uint64_t size() override { return size_; }

private:
    std::FILE* file_;
    std::uint64_t size_;
    std::uint64_t position_ = 0;
};

class RealOutputFile final : public OutputFile {
public:
    RealOutputFile(std::FILE* file, fs::path temporary, fs::path final)
        : file_(file), temporary_(std::move(temporary)), final_(std::move(final)) {
        // Unbuffered: the included files stream through here in large pieces
        // that would only be copied once more into a buffer of the C library.
        std::setvbuf(file_, nullptr, _IONBF, 0);
    }
    ~RealOutputFile() override {
        if (file_) std::fclose(file_);
        if (!committed_) {
            std::error_code ignored;
            fs::remove(temporary_, ignored);
        }
    }

    bool write(const void* bytes, std::size_t size, std::string& error) override {
        if (std::fwrite(bytes, 1, size, file_) == size) return true;
        error = systemError("cannot write", fromPath(temporary_));
        return false;
    }
    bool patch(std::uint64_t offset, const void* bytes, std::size_t size, std::string& error) override {
        if (std::fflush(file_) != 0 || !seekTo(file_, offset) || std::fwrite(bytes, 1, size, file_) != size ||
            std::fseek(file_, 0, SEEK_END) != 0) {
            error = systemError("cannot write", fromPath(temporary_));
            return false;
        }
        return true;
    }
    bool commit(std::string& error) override {
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        if (!closed) {
            error = systemError("cannot write", fromPath(temporary_));
            return false;
        }
        std::error_code code;
        fs::rename(temporary_, final_, code);
        if (code) {
            error = "cannot rename " + fromPath(temporary_) + " to " + fromPath(final_) + ": " + code.message();
            return false;
        }
        committed_ = true;
        return true;
    }

private:
    std::FILE* file_;
    fs::path temporary_, final_;
    bool committed_ = false;
};

class RealHost final : public Host {
public:
    std::unique_ptr<InputFile> openInput(const std::string& path, std::string& error) override {
        const std::optional<std::uint64_t> size = fileSize(path);
        std::FILE* file = size ? openFile(toPath(path), false) : nullptr;
        if (!file) {
            error = size ? systemError("cannot open", path)
                         : "cannot open " + path + (isDirectory(path) ? ": it is a directory" : ": no such file");
            return nullptr;
        }
        return std::make_unique<RealInputFile>(file, *size);
    }

    bool readFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) override {
        std::unique_ptr<InputFile> file = openInput(path, error);
        if (!file) return false;
        bytes.resize(static_cast<std::size_t>(file->size()));
        const ByteSource::Result read = file->readAt(0, bytes.data(), bytes.size());
        if (read.bytes != bytes.size()) {
            error = "cannot read " + path + (read.ok ? ": the file changed while it was read" : ": read error");
            return false;
        }
        return true;
    }

    std::unique_ptr<OutputFile> createOutput(const std::string& path, std::string& error) override {
        const fs::path final = toPath(path);
        // The output's directory is made when it is missing, as build tools do.
        std::error_code made;
        if (final.has_parent_path()) fs::create_directories(final.parent_path(), made);
        if (made) {
            error = "cannot create the directory " + fromPath(final.parent_path()) + ": " + made.message();
            return nullptr;
        }
        // A name of our own beside the target, so that the rename stays on one
        // file system; random, so that two builds never share it.
        std::random_device random;
        const fs::path temporary = final.parent_path() /
            (final.filename().native() + toPath(".qarvo-" + std::to_string(random() % 1000000000u) + ".tmp").native());
        std::FILE* file = openFile(temporary, true);
        if (!file) {
            error = systemError("cannot create", fromPath(temporary));
            return nullptr;
        }
        return std::make_unique<RealOutputFile>(file, temporary, final);
    }

    std::optional<std::uint64_t> fileSize(const std::string& path) override {
        std::error_code code;
        const fs::path p = toPath(path);
        if (!fs::is_regular_file(p, code)) return std::nullopt;
        const std::uintmax_t size = fs::file_size(p, code);
        if (code) return std::nullopt;
        return size;
    }

    bool isDirectory(const std::string& path) override {
        std::error_code code;
        return fs::is_directory(toPath(path), code);
    }

    bool sameFile(const std::string& a, const std::string& b) override {
        std::error_code code;
        return fs::equivalent(toPath(a), toPath(b), code) && !code;
    }

    std::optional<std::string> environment(const std::string& name) override {
        const char* value = std::getenv(name.c_str());
        if (!value) return std::nullopt;
        return std::string(value);
    }

    bool standardErrorIsTerminal() override {
#ifdef _WIN32
        return _isatty(_fileno(stderr)) != 0;
#else
        return isatty(STDERR_FILENO) != 0;
#endif
    }

    void writeStandardError(const std::string& text) override {
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fflush(stderr);
    }

    std::string toolDirectory() override {
#ifdef _WIN32
        std::wstring buffer(32768, L'\0');
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0 || length >= buffer.size()) return {};
        buffer.resize(length);
        return fromPath(fs::path(buffer).parent_path());
#elif defined(__APPLE__)
        char buffer[4096];
        std::uint32_t size = sizeof buffer;
        if (_NSGetExecutablePath(buffer, &size) != 0) return {};
        std::error_code code;
        return fromPath(fs::canonical(buffer, code).parent_path());
#else
        std::error_code code;
        const fs::path self = fs::read_symlink("/proc/self/exe", code);
        return code ? std::string() : fromPath(self.parent_path());
#endif
    }
};

}  // namespace

Host& realHost() {
    static RealHost host;
    return host;
}

std::vector<std::string> utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide) {
        std::vector<std::string> arguments;
        for (int i = 0; i < count; ++i) arguments.push_back(fromPath(fs::path(wide[i])));
        LocalFree(wide);
        return arguments;
    }
#endif
    return std::vector<std::string>(argv, argv + argc);
}

}  // namespace qarvo::builder
