// What the file and launcher tests change around them and put back: a
// temporary folder, an environment variable, the numeric locale, a small
// file system of their own.
#pragma once

#include <sys/mount.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace vx::test {

// A new empty folder, removed with everything in it at the end.
class TempDir {
public:
    TempDir() {
        std::string pattern = "/tmp/vidorex-test-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) m_path = pattern;
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    bool Ok() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }
    // The folder with its closing separator, as the temporary folder reads.
    std::string Folder() const { return m_path + "/"; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Sets (or, for null, removes) an environment variable until the end.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv() {
        if (m_old) {
            ::setenv(m_name.c_str(), m_old->c_str(), 1);
        } else {
            ::unsetenv(m_name.c_str());
        }
    }

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// Switches LC_NUMERIC until the end; Ok() is false when the locale is not
// installed.
class ScopedNumericLocale {
public:
    explicit ScopedNumericLocale(const char* name) {
        m_old = std::setlocale(LC_NUMERIC, nullptr);
        m_ok = std::setlocale(LC_NUMERIC, name) != nullptr;
    }
    ScopedNumericLocale(const ScopedNumericLocale&) = delete;
    ScopedNumericLocale& operator=(const ScopedNumericLocale&) = delete;
    ~ScopedNumericLocale() { std::setlocale(LC_NUMERIC, m_old.c_str()); }
    bool Ok() const { return m_ok; }

private:
    std::string m_old;
    bool m_ok = false;
};

// A small tmpfs mounted on a folder of its own, for a real full or
// read-only disk. Mounting needs the right to mount (root); Ok() is false
// where that is not given.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const char* options, unsigned long flags = 0) {
        if (!m_dir.Ok()) return;
        m_mounted = ::mount("tmpfs", m_dir.Path().c_str(), "tmpfs", flags, options) == 0;
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;
    ~SmallFileSystem() {
        if (m_mounted) ::umount2(m_dir.Path().c_str(), MNT_DETACH);
    }
    bool Ok() const { return m_mounted; }
    const TempDir& Dir() const { return m_dir; }

private:
    TempDir m_dir;
    bool m_mounted = false;
};

}  // namespace vx::test
