// Where the program keeps its settings and finds its read-only data, resolved once at start.
#pragma once

#include <string>
#include <vector>

namespace orvane {

// What the resolution looks at (the environment and the program's own folder).
struct TPathInputs {
    std::string SettingsOverride;  // $ORVANE_SETTINGS_DIR
    std::string XdgConfigHome;     // $XDG_CONFIG_HOME
    std::string Home;              // $HOME
    std::string ProgramDir;        // the folder of the running program
    std::string WorkingDir;        // to make a relative override absolute
};

// The inputs of this process (the program's folder from /proc/self/exe).
TPathInputs CurrentPathInputs();

// The settings folder: the override when set; else the program's folder when "orvane.ini" already
// exists there and the folder is writable (portable mode); else $XDG_CONFIG_HOME/orvane (an
// absolute XDG_CONFIG_HOME only), else $HOME/.config/orvane. Not created here.
std::string ResolveSettingsFolder(const TPathInputs& In);

// The folders read-only data (help, dictionaries) is looked up in, in order: the settings folder,
// the program's folder, then <prefix>/share/orvane (the program's folder's ../share/orvane, then
// the prefix the program was built for); no folder twice.
std::vector<std::string> DataFolders(const std::string& SettingsFolder, const std::string& ProgramDir,
                                     const std::string& InstallDataDir);
// The first existing regular file Name in Folders, or empty.
std::string FindDataFile(const std::vector<std::string>& Folders, const std::string& Name);

// The main settings file's name.
inline constexpr const char* kMainSettingsFile = "orvane.ini";

}  // namespace orvane
