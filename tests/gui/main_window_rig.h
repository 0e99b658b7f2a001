#pragma once
// The main window on the real drawn skin, wired to an emulated keyboard in this process through
// a transport that counts frames, with its store and settings files in a temporary Documents
// folder. The user's answers to questions and the messages shown are recorded.

#include "app/app_paths.h"
#include "app/instance_server.h"
#include "app/main_window.h"
#include "app/process_state.h"
#include "profile/storage_paths.h"
#include "support/hooked_keyboard.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>

namespace tavrik::test {

class MainWindowRig {
public:
    // How the window begins: fully built at once, or as the program starts, hidden in the
    // tray with its pictures decoded at the first showing.
    enum class Start { Initialised, InTray };

    // Starts the window; WaitForAttach waits for the keyboard's attach to be handled.
    // Preferences are read from the settings file as the program reads them.
    // `prepare` sees the keyboard's transport before the program starts.
    explicit MainWindowRig(Start start = Start::Initialised,
                           const std::function<void(HookedKeyboard&)>& prepare = {}) {
        auto keyboard = std::make_unique<HookedKeyboard>();
        m_keyboard = keyboard.get();
        if (prepare)
            prepare(*keyboard);
        Begin(std::move(keyboard), m_documents.path().toStdString(), start);
    }
    // On a keyboard other programs share (tavrik-emu's socket), with its files in `documents`,
    // the Documents folder tavrikctl uses too when its HOME is that folder's parent.
    MainWindowRig(std::unique_ptr<HidBridge> transport, std::filesystem::path documents) {
        Begin(std::move(transport), std::move(documents), Start::Initialised);
    }
    ~MainWindowRig() {
        m_window.reset();
        m_editor.reset();
    }

    // Waits until the window is ready and the keyboard attached; false on time-out.
    bool WaitForAttach() {
        if (!QTest::qWaitFor([this] { return m_window->IsReady(); }))
            return false;
        if (!QTest::qWaitFor([this] { return m_editor->KeyboardCount() == 1; }))
            return false;
        return Drain();
    }

    // Every keyboard job posted so far has run and its signals have reached the window.
    bool Drain() {
        auto done = std::make_shared<std::atomic<bool>>(false);
        m_editor->PostAfterQueuedJobs([done] { *done = true; });
        const bool ran = QTest::qWaitFor([done] { return done->load(); });
        QCoreApplication::processEvents();
        return ran;
    }

    CTavrikDlg& Window() { return *m_window; }
    const std::filesystem::path& DocumentsFolder() const { return m_documentsFolder; }
    KeyboardEditor& Editor() { return *m_editor; }
    HookedKeyboard& Transport() { return *m_keyboard; }
    EmulatedHidBridge& Keyboard() { return m_keyboard->Keyboard(); }
    const SettingsFile& Settings() const { return m_settings; }
    const AppPaths& Paths() const { return m_paths; }

    QStringList messages;
    bool answer = false;

private:
    void Begin(std::unique_ptr<HidBridge> transport, std::filesystem::path documents, Start start) {
        m_documentsFolder = std::move(documents);
        m_settings = SettingsFile(SettingsFilePath(m_documentsFolder));
        std::filesystem::create_directories(m_settings.Path().parent_path());
        const SettingsFile settings = m_settings;
        m_editor = std::make_unique<KeyboardEditor>(
            std::move(transport), StoragePathsIn(m_documentsFolder),
            [settings] {
                return LightingPreferences{settings.ReportRateButton(),
                                           settings.LightingEditMode()};
            },
            KeyboardEditor::UserDialogs{[this](const QString& text) { messages << text; },
                                        [this](const QString& question) {
                                            messages << question;
                                            return answer;
                                        }});
        m_window = std::make_unique<CTavrikDlg>(m_state, m_paths, m_server, *m_editor, m_settings);
        if (start == Start::Initialised)
            m_window->InitDialog();
        else
            m_window->StartInTray();
        m_editor->Start();
    }

    const AppPaths m_paths =
        AppPathsFromExecutable(std::filesystem::path(TAVRIK_BIN_DIR) / "tavrik");
    QTemporaryDir m_documents;
    std::filesystem::path m_documentsFolder;
    SettingsFile m_settings{std::filesystem::path()};
    ProcessState m_state;
    InstanceServer m_server;
    HookedKeyboard* m_keyboard = nullptr;
    std::unique_ptr<KeyboardEditor> m_editor;
    std::unique_ptr<CTavrikDlg> m_window;
};

} // namespace tavrik::test
