#include "app/start_up.h"

#include "app/app_paths.h"
#include "app/command_line.h"
#include "app/instance_endpoint.h"
#include "app/instance_server.h"
#include "app/main_window.h"
#include "app/process_state.h"
#include "app/single_instance.h"
#include "events/main_window_port.h"
#include "gui/keyboard_editor.h"
#include "gui/message_boxes.h"
#include "profile/settings_file.h"
#include "profile/storage_paths.h"
#include "session/session_documents.h"
#include "transport/backend_selection.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

namespace tavrik {
namespace {

constexpr const char* kSettingsRoot = "Tavrik_Ostrel";

// On Windows the installer makes "Documents\Tavrik"; a Linux package cannot make per-user
// folders, so the program does it (with Documents itself when the home has none).
void EnsureDocumentsFolders() {
    EnsureSettingsFolder(DocumentsFolder());
}

// The sibling program beside this one is started detached when it is there; a missing or
// failing one is not reported.
void StartSiblingProgram(const std::filesystem::path& daemon) {
    const QString path = QString::fromStdString(daemon.string());
    const QFileInfo info(path);
    if (info.isFile() && info.isExecutable()) {
        QProcess::startDetached(path, {});
    }
}

std::vector<std::string> ArgumentsAfterProgramName() {
    std::vector<std::string> arguments;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i) {
        arguments.push_back(all[i].toStdString());
    }
    return arguments;
}

constexpr int kExitTransportFailed = 1;
constexpr int kExitNoPrivateFolder = 1;
constexpr int kExitUsage = 2;

// What the command line settles before any window exists (so without a display): the usage, the
// version, a refused option. Nothing when the program goes on.
std::optional<int> AnswerWithoutWindow(std::span<const std::string_view> arguments) {
    const CommandLineCheck check = CheckCommandLine(arguments);
    switch (check.request) {
    case CommandLineCheck::Request::Help:
        std::fputs(DesktopUsage().data(), stdout);
        return 0;
    case CommandLineCheck::Request::Version:
        std::printf("%s\n", DesktopVersion().c_str());
        return 0;
    case CommandLineCheck::Request::Refused:
        std::fprintf(stderr, "tavrik: %s (see tavrik --help)\n", check.problem.c_str());
        return kExitUsage;
    case CommandLineCheck::Request::Run:
        break;
    }
    return std::nullopt;
}

// The keyboard chosen with --device or TAVRIK_DEVICE (a real keyboard by default).
struct TransportChoice {
    DeviceChoice device;
    bool explicitlyChosen = false;
};

// Nothing, and one line on stderr, when the choice names no keyboard.
std::optional<TransportChoice> ChooseTransport(std::span<const std::string_view> arguments) {
    const std::optional<std::string_view> flag = FindDeviceFlag(arguments);
    const char* environment = std::getenv(kDeviceEnvironmentVariable);
    std::string error;
    const std::optional<DeviceChoice> device = ChooseDevice(flag, environment, &error);
    if (!device) {
        std::fprintf(stderr, "tavrik: %s\n", error.c_str());
        return std::nullopt;
    }
    return TransportChoice{*device, flag || (environment != nullptr && *environment != '\0')};
}

struct BoundTransport {
    std::unique_ptr<HidBridge> bridge;
    bool demo = false;
};

// A backend that cannot start ends the program with one line on stderr, no dialog.
BoundTransport BindTransport(const DeviceChoice& choice) {
    std::string error;
    std::unique_ptr<HidBridge> bridge = OpenBridge(choice, &error);
    if (!bridge) {
        std::fprintf(stderr, "tavrik: %s\n", error.c_str());
        return {};
    }
    return {std::move(bridge), choice.kind == DeviceChoice::Kind::Demo};
}

// Without a notification area there is no icon to click: a start by the user (not the start at
// login) opens the window as soon as the first keyboard is attached.
void OpenOnFirstKeyboard(CTavrikDlg& window, KeyboardEditor& editor) {
    auto connection = std::make_shared<QMetaObject::Connection>();
    const auto openOnAttach = [&window, connection](int mode, int iconId) {
        if (mode == kTrayDevice && iconId == kIconKeyboardAttached) {
            QObject::disconnect(*connection);
            window.HandleInstanceCommand(InstanceCommand::Open);
        }
    };
    *connection =
        QObject::connect(&editor, &KeyboardEditor::trayStateRequested, &window, openOnAttach);
}

LightingPreferences ReadLightingPreferences(const SettingsFile& settings) {
    return {settings.ReportRateButton(), settings.LightingEditMode()};
}

InstanceFolders InstanceFoldersOfThisUser() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return ChooseInstanceFolders(runtime == nullptr ? "" : runtime, QDir::tempPath().toStdString(),
                                 ::getuid());
}

} // namespace

int RunDesktopProgram(int argc, char* argv[]) {
    const std::vector<std::string_view> commandLine(argv + 1, argv + argc);
    if (const std::optional<int> exitCode = AnswerWithoutWindow(commandLine)) {
        return *exitCode;
    }
    const std::optional<TransportChoice> choice = ChooseTransport(commandLine);
    if (!choice) {
        return kExitUsage;
    }

    QApplication application(argc, argv);
    // The window lives hidden behind the tray icon; closing a message box must not end the run.
    QApplication::setQuitOnLastWindowClosed(false);

    const std::filesystem::path executable =
        CurrentExecutable().value_or(QCoreApplication::applicationFilePath().toStdString());
    AppPaths paths = AppPathsFromExecutable(executable);
    QCoreApplication::setOrganizationName(QString::fromLatin1(kSettingsRoot));
    QCoreApplication::setApplicationName(QString::fromStdString(paths.exeFileName));
    EnsureDocumentsFolders();

    ProcessState state;
    const std::vector<std::string> arguments = ArgumentsAfterProgramName();
    const std::vector<std::string_view> argumentViews(arguments.begin(), arguments.end());
    const StartSwitches switches = ParseStartSwitches(argumentViews);
    InstanceServer instanceServer;
    switch (RunInstanceCheck(switches, instanceServer, InstanceFoldersOfThisUser())) {
    case InstanceRole::HandedOver:
        return 0;
    case InstanceRole::NoPrivateFolder:
        return kExitNoPrivateFolder;
    case InstanceRole::Primary:
        break;
    }
    StartSiblingProgram(paths.daemonPath);
    BoundTransport transport = BindTransport(choice->device);
    if (!transport.bridge) {
        // The default keyboard failing to start ends the program quietly; a keyboard the user
        // named is a failure the caller must see.
        return choice->explicitlyChosen ? kExitTransportFailed : 0;
    }
    const SessionDocuments documents(transport.demo);
    if (documents.Folder().empty()) {
        std::fprintf(stderr, "tavrik: cannot create a temporary folder for the demo keyboard\n");
        return 0;
    }
    const SettingsFile settings(SettingsFilePath(documents.Folder()));

    QPointer<CTavrikDlg> shownWindow;
    KeyboardEditor editor(
        std::move(transport.bridge), StoragePathsIn(documents.Folder()),
        [settings] { return ReadLightingPreferences(settings); },
        {[&shownWindow](const QString& text) { ShowProgramMessage(shownWindow, text); },
         [&shownWindow](const QString& question) {
             return AskProgramQuestion(shownWindow, question);
         }});
    CTavrikDlg window(state, std::move(paths), instanceServer, editor, settings);
    shownWindow = &window;
    window.StartInTray();
    if (!switches.start && !QSystemTrayIcon::isSystemTrayAvailable()) {
        OpenOnFirstKeyboard(window, editor);
    }
    // The keyboard is looked for once the icon is up: the window's start is queued first.
    QTimer::singleShot(0, &editor, [&editor] { editor.Start(); });
    instanceServer.SetHandler(
        [&window](InstanceCommand command) { window.HandleInstanceCommand(command); });
    QObject::connect(&window, &CTavrikDlg::exitFinished, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    QApplication::exec();
    return 0;
}

} // namespace tavrik
