// Resolving the settings folder and the data folders.
#include "app/paths.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace orvane {
namespace {

namespace fs = std::filesystem;

std::string Env(const char* Name) {
    const char* v = std::getenv(Name);
    return v ? v : "";
}

std::string Normal(const fs::path& P) { return P.lexically_normal().string(); }

}  // namespace

TPathInputs CurrentPathInputs() {
    TPathInputs in;
    in.SettingsOverride = Env("ORVANE_SETTINGS_DIR");
    in.XdgConfigHome = Env("XDG_CONFIG_HOME");
    in.Home = Env("HOME");
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) in.ProgramDir = exe.parent_path().string();
    const fs::path cwd = fs::current_path(ec);
    if (!ec) in.WorkingDir = cwd.string();
    return in;
}

std::string ResolveSettingsFolder(const TPathInputs& In) {
    if (!In.SettingsOverride.empty()) {
        const fs::path p(In.SettingsOverride);
        return Normal(p.is_absolute() ? p : fs::path(In.WorkingDir) / p);
    }
    if (!In.ProgramDir.empty()) {
        std::error_code ec;
        const fs::path ini = fs::path(In.ProgramDir) / kMainSettingsFile;
        if (fs::is_regular_file(ini, ec) && ::access(In.ProgramDir.c_str(), W_OK) == 0) return Normal(In.ProgramDir);
    }
    if (!In.XdgConfigHome.empty() && fs::path(In.XdgConfigHome).is_absolute())
        return Normal(fs::path(In.XdgConfigHome) / "orvane");
    if (!In.Home.empty()) return Normal(fs::path(In.Home) / ".config" / "orvane");
    // No home at all: the working folder is the only place left.
    return Normal(fs::path(In.WorkingDir) / ".orvane");
}

std::vector<std::string> DataFolders(const std::string& SettingsFolder, const std::string& ProgramDir,
                                     const std::string& InstallDataDir) {
    std::vector<std::string> folders;
    auto add = [&](const std::string& F) {
        if (F.empty()) return;
        const std::string n = Normal(F);
        for (const std::string& f : folders)
            if (f == n) return;
        folders.push_back(n);
    };
    add(SettingsFolder);
    add(ProgramDir);
    if (!ProgramDir.empty()) add((fs::path(ProgramDir) / ".." / "share" / "orvane").string());
    add(InstallDataDir);
    return folders;
}

std::string FindDataFile(const std::vector<std::string>& Folders, const std::string& Name) {
    for (const std::string& f : Folders) {
        std::error_code ec;
        const fs::path p = fs::path(f) / Name;
        if (fs::is_regular_file(p, ec)) return p.string();
    }
    return {};
}

}  // namespace orvane
