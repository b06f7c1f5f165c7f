#include <utility>

#include "scan/discover.h"

namespace vernatto::scan {
namespace {

using platform::SystemKind;

class FolderList {
 public:
  FolderList(SystemKind system, const Environment& environment)
      : separator_(system == SystemKind::kWindows ? '\\' : '/'),
        listSeparator_(system == SystemKind::kWindows ? ';' : ':'),
        environment_(environment) {}

  // Adds `base` + `tail` when the variable `base` names is set and not empty.
  void fromVariable(const std::string& variable, const std::string& tail) {
    auto value = lookup(variable);
    if (value)
      add(*value + tail);
  }

  // Adds each folder of a list variable. Returns whether the variable was set.
  bool fromListVariable(const std::string& variable) {
    auto value = lookup(variable);
    if (!value)
      return false;
    std::size_t start = 0;
    while (start <= value->size()) {
      std::size_t end = value->find(listSeparator_, start);
      if (end == std::string::npos)
        end = value->size();
      add(value->substr(start, end - start));
      start = end + 1;
    }
    return true;
  }

  void add(const std::string& folder) {
    if (folder.empty())
      return;
    for (const std::string& known : folders_) {
      if (known == folder)
        return;
    }
    folders_.push_back(folder);
  }

  // Turns "a/b" into the system's form.
  std::string native(std::string tail) const {
    for (char& c : tail) {
      if (c == '/')
        c = separator_;
    }
    return tail;
  }

  std::vector<std::string> take() { return std::move(folders_); }

 private:
  std::optional<std::string> lookup(const std::string& variable) const {
    auto value = environment_.variable ? environment_.variable(variable) : std::nullopt;
    if (!value || value->empty())
      return std::nullopt;
    return value;
  }

  char separator_;
  char listSeparator_;
  const Environment& environment_;
  std::vector<std::string> folders_;
};

void windowsFolders(FolderList& list, const Environment& environment) {
  list.fromVariable("LOCALAPPDATA", list.native("/Programs/Common/VST3"));
  list.fromVariable("COMMONPROGRAMFILES", list.native("/VST3"));
  for (const std::string& folder : environment.registryVstFolders)
    list.add(folder);
  list.fromVariable("PROGRAMFILES", list.native("/VSTPlugins"));
  list.fromVariable("PROGRAMFILES", list.native("/Steinberg/VstPlugins"));
  list.fromVariable("COMMONPROGRAMFILES", list.native("/VST2"));
  list.fromVariable("COMMONPROGRAMFILES", list.native("/Avid/Audio/Plug-Ins"));
  list.fromListVariable("CLAP_PATH");
  list.fromVariable("COMMONPROGRAMFILES", list.native("/CLAP"));
  list.fromVariable("LOCALAPPDATA", list.native("/Programs/Common/CLAP"));
  // LADSPA libraries have no usual folder here, only the variable's; DSSI,
  // built on ALSA, has none at all.
  list.fromListVariable("LADSPA_PATH");
}

void macFolders(FolderList& list) {
  for (const char* kind : {"VST3", "VST", "Components"}) {
    list.fromVariable("HOME", std::string("/Library/Audio/Plug-Ins/") + kind);
    list.add(std::string("/Library/Audio/Plug-Ins/") + kind);
  }
  list.add("/Library/Application Support/Avid/Audio/Plug-Ins");
  list.fromListVariable("CLAP_PATH");
  list.fromVariable("HOME", "/Library/Audio/Plug-Ins/CLAP");
  list.add("/Library/Audio/Plug-Ins/CLAP");
  // No LADSPA folder: libraries here are Mach-O files, whose exports the
  // scanner does not read, so it could not tell a plug-in from a helper.
}

void linuxFolders(FolderList& list, const Environment& environment) {
  list.fromVariable("HOME", "/.vst3");
  list.add("/usr/lib/vst3");
  list.add("/usr/local/lib/vst3");
  bool vstPath = list.fromListVariable("VST_PATH");
  bool lxvstPath = list.fromListVariable("LXVST_PATH");
  if (!vstPath && !lxvstPath) {
    list.fromVariable("HOME", "/.vst");
    list.fromVariable("HOME", "/.lxvst");
    for (const char* folder : {"/usr/lib/vst", "/usr/lib/lxvst", "/usr/local/lib/vst",
                               "/usr/local/lib/lxvst"}) {
      list.add(folder);
    }
  }
  list.fromListVariable("CLAP_PATH");
  list.fromVariable("HOME", "/.clap");
  list.add("/usr/lib/clap");
  if (!list.fromListVariable("LV2_PATH")) {
    list.fromVariable("HOME", "/.lv2");
    if (!environment.multiarch.empty())
      list.add("/usr/lib/" + environment.multiarch + "/lv2");
    list.add("/usr/lib/lv2");
    list.add("/usr/local/lib/lv2");
  }
  const std::pair<const char*, std::string> kLibraryFolders[] = {
      {"LADSPA_PATH", "ladspa"}, {"DSSI_PATH", "dssi"}};
  for (const auto& [variable, folder] : kLibraryFolders) {
    if (!list.fromListVariable(variable)) {
      list.fromVariable("HOME", "/." + folder);
      list.add("/usr/lib/" + folder);
      list.add("/usr/local/lib/" + folder);
    }
  }
}

}  // namespace

std::vector<std::string> defaultFolders(SystemKind system,
                                        const Environment& environment) {
  FolderList list(system, environment);
  switch (system) {
    case SystemKind::kWindows:
      windowsFolders(list, environment);
      break;
    case SystemKind::kMacOS:
      macFolders(list);
      break;
    case SystemKind::kLinux:
      linuxFolders(list, environment);
      break;
  }
  return list.take();
}

Environment processEnvironment() {
  return Environment{platform::environmentVariable, platform::registryVstFolders(),
                     platform::multiarchTriple()};
}

}  // namespace vernatto::scan
