// The Linux program: an xscreensaver hack (-root, -window-id, XSCREENSAVER_WINDOW) and a
// standalone window, over the same settings values, preset store and pictures as the
// Windows saver.
#include "linux/x_draw_window.h"

#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/settings.h"
#include "linux/config_folder.h"
#include "linux/hack_options.h"
#include "linux/x_error_trap.h"
#include "presets/apply_preset.h"
#include "presets/preset_store.h"
#include "presets/profile_forms.h"
#include "presets/store_location.h"
#include "presets/text_file_profile.h"

namespace {

constexpr int kCannotGoOn = 1;

// Lines quote files and names: their control bytes (a terminal's escapes) show as \xNN.
void Warn(const std::string& line) {
    std::string shown;
    for (const unsigned char c : line) {
        char escaped[5] = {static_cast<char>(c), 0};
        if (c < 0x20 || c == 0x7F) std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
        shown += escaped;
    }
    std::fprintf(stderr, "tindlbrg: %s\n", shown.c_str());
}

int Fail(const std::string& line) {
    Warn(line);
    return kCannotGoOn;
}

// A file of junk is told about in a screenful, not a line per line.
constexpr size_t kShownProblems = 10;

void OnTerminate(int) { theTerminateRequest = 1; }

int FindPreset(const PresetStore& store, const std::string& name) {
    for (int32_t i = 0; i < store.Count(); ++i)
        if (PresetName(*PresetAt(store, i)) == name) return i;
    return -1;
}

// Adds the preset file to the store and saves the store; the old store file stays
// unless the new one was written whole.
constexpr char kNoFolder[] = "no configuration folder: neither XDG_CONFIG_HOME nor HOME is set";

int Import(const std::string& file, const std::string& folder, const std::string& storePath, bool storeRead,
           const std::string& damage) {
    if (folder.empty()) return Fail(kNoFolder);
    if (!storeRead) return Fail("the preset store " + storePath + " cannot be read; nothing imported");
    if (!damage.empty()) return Fail(damage + "; nothing imported (move it aside to start a new store)");
    // Only a regular file: a device or a folder would give any 228 bytes or none.
    struct stat found {};
    if (stat(file.c_str(), &found) != 0) return Fail("cannot open the preset file " + file + ": " + std::strerror(errno));
    if (!S_ISREG(found.st_mode)) return Fail(file + " is not a regular file, so not a preset file");
    const int32_t before = thePresetStore.Count();
    if (!ReadPresetFile(thePresetStore, file))
        return Fail("cannot open the preset file " + file + ": " + std::strerror(errno));
    if (thePresetStore.Count() == before)
        return Fail(file + " is not a preset file (" + std::to_string(found.st_size) + " bytes, fewer than 228)");
    if (!DefaultFileSystem().CreateFolders(folder) || !SaveStore(thePresetStore, storePath))
        return Fail("cannot write the preset store " + storePath);
    std::printf("imported preset \"%s\" into %s\n", PresetName(*PresetAt(thePresetStore, before)).c_str(),
                storePath.c_str());
    return 0;
}

Window ChooseWindow(Display* display, const HackOptions& options, std::string& error) {
    if (options.target == HackOptions::Target::WindowId) return options.windowId;
    if (options.target == HackOptions::Target::Root) {
        const char* lent = std::getenv("XSCREENSAVER_WINDOW");
        uint32_t id = 0;
        if (lent == nullptr || lent[0] == '\0') return DefaultRootWindow(display);
        if (ParseWindowId(lent, id)) return id;
        error = "XSCREENSAVER_WINDOW \"" + std::string(lent) + "\" is not a window id";
        return 0;
    }
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    // The pointer is invisible over the animation, as over the Windows saver's windows.
    char blank = 0;
    const Pixmap empty = XCreateBitmapFromData(display, root, &blank, 1, 1);
    XColor black{};
    XSetWindowAttributes set{};
    set.cursor = XCreatePixmapCursor(display, empty, empty, &black, &black, 0, 0);
    set.background_pixel = BlackPixel(display, screen);
    set.event_mask = XDrawWindow::EventMask(true);  // from the start: the first events count
    const Window own = XCreateWindow(display, root, 0, 0, 640, 480, 0, CopyFromParent, InputOutput, CopyFromParent,
                                     CWBackPixel | CWEventMask | CWCursor, &set);
    XStoreName(display, own, "Tindelborg Screen Saver");
    Atom closes = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, own, &closes, 1);
    XFreeCursor(display, set.cursor);
    XFreePixmap(display, empty);
    XMapWindow(display, own);
    return own;
}

}  // namespace

int main(int argc, char** argv) {
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);

    HackOptions options;
    std::string error;
    if (!ParseHackOptions(argc, argv, options, error)) {
        Fail(error);
        std::fputs(HackUsage(), stderr);
        return kCannotGoOn;
    }
    if (options.help) {
        std::fputs(HackUsage(), stdout);
        return 0;
    }

    const std::string folder = ConfigFolder();
    const std::string settingsPath = folder.empty() ? std::string() : folder + "/" + kSettingsFileName;
    TextFileProfile profile;
    // Anything at the settings path that does not load (a folder too) is the user's: warned
    // about, and never replaced by --save.
    struct stat found {};
    const bool settingsThere = !settingsPath.empty() && stat(settingsPath.c_str(), &found) == 0;
    const bool settingsRead = !settingsThere || (S_ISREG(found.st_mode) && profile.Load(settingsPath));
    if (!settingsRead) Warn("cannot read the settings file " + settingsPath + "; the built-in settings are used");
    for (const auto& [name, text] : options.values) profile.WriteText(kProfileSection, name.c_str(), text);
    LoadProfile(profile, theSettings);
    for (size_t i = 0; i < profile.problems.size() && i < kShownProblems; ++i)
        Warn(settingsPath + ": " + profile.problems[i]);
    if (profile.problems.size() > kShownProblems)
        Warn(settingsPath + ": and " + std::to_string(profile.problems.size() - kShownProblems) + " more");

    const std::string storePath = StoreFileIn(folder, '/');
    bool storeRead = true;
    std::string damage;  // a store that is not whole is never written back
    if (!storePath.empty() && DefaultFileSystem().Exists(storePath)) {
        bool whole = false;
        storeRead = LoadStore(thePresetStore, storePath, DefaultFileSystem(), &whole);
        if (storeRead && !whole)
            damage = "the preset store " + storePath +
                     " is damaged: it does not hold exactly the presets its count names (" +
                     std::to_string(thePresetStore.Count()) + " could be read)";
        // An import says it itself, and refuses.
        if (options.importFile.empty() && !damage.empty()) Warn(damage);
        if (options.importFile.empty() && !storeRead)
            Warn("cannot read the preset store " + storePath + "; no presets are used");
    }
    if (!options.importFile.empty()) return Import(options.importFile, folder, storePath, storeRead, damage);

    if (options.save) {
        SaveProfile(profile, theSettings);
        if (folder.empty()) return Fail(kNoFolder);
        if (!settingsRead)
            return Fail("the settings file " + settingsPath + " cannot be read; --save would replace it, nothing written");
        if (!profile.ReadWhole())
            return Fail("the settings file " + settingsPath + " is larger than 64 KiB and was read only in part; "
                        "--save would cut it short, nothing written");
        if (!DefaultFileSystem().CreateFolders(folder) || !profile.Save(settingsPath))
            return Fail("cannot write the settings file " + settingsPath);
        return 0;
    }
    if (!options.preset.empty()) {
        const int position = FindPreset(thePresetStore, options.preset);
        if (position < 0) return Fail("no preset named \"" + options.preset + "\" in " + storePath);
        ApplyPreset(thePresetStore, position, theSettings, theRunState);
    }
    for (const std::string& line : SettingsOutOfRange(theSettings)) Warn(line);
    // As full screen on Windows: a random preset at start, but not in the settings
    // dialog's little preview, nor over a preset asked for by name.
    theRunState.fullScreen = options.preset.empty() && options.target != HackOptions::Target::WindowId;

    const char* displayName = options.display.empty() ? nullptr : options.display.c_str();
    Display* display = XOpenDisplay(displayName);
    if (display == nullptr) return Fail("cannot open the X display \"" + std::string(XDisplayName(displayName)) + "\"");
    InstallXErrorTrap();
    int status = kCannotGoOn;
    const Window window = ChooseWindow(display, options, error);
    if (window != 0) {
        XDrawWindow saver(display, window, options.target == HackOptions::Target::OwnWindow, true);
        status = saver.Start(error) && saver.Run(error) ? 0 : Fail(error);
    } else {
        Fail(error);
    }
    XCloseDisplay(display);
    return status;
}
