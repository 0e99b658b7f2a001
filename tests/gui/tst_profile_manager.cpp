// The profile manager on the real drawn skin, wired to the emulated keyboard in this process
// through the keyboard editor: its rows, its check boxes, its file dialogs and its Apply down to
// the keyboard. What the keyboard holds is read back from the emulated keyboard's memory, and
// what Apply stores from the per-user settings, never from the dialog.

#include "app/app_paths.h"
#include "gui/keyboard_editor.h"
#include "gui/profile_manager_dialog.h"
#include "gui/profile_manager_list.h"
#include "keys/key_table.h"
#include "profile/native_path.h"
#include "profile/profile_file.h"
#include "profile/profile_messages.h"
#include "profile/storage_paths.h"
#include "profile/user_preferences.h"
#include "skin/ini_file.h"
#include "skin/skin_rect.h"
#include "support/hooked_keyboard.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <fstream>

namespace tavrik {

namespace {

using namespace profile_manager_id;

constexpr uint8_t kScanA = 0x1E;
constexpr uint8_t kScanB = 0x30;
// Where the keyboard keeps the HID usage that key A types in hardware profile 1.
constexpr uint16_t kUsageOfAAddress = 19 * 3 + 2;
constexpr uint8_t kUsageB = 0x05;

emu::KeyboardMemory MemoryOf(EmulatedHidBridge& keyboard) {
    return keyboard.WithFirmware([](emu::KeyboardFirmware& firmware) { return firmware.Memory(); });
}

QRect SkinRectOf(const CIniFile& skin, std::u16string_view key) {
    const SkinRect rect = ReadSkinRect(skin, u"BUTTONINFO", key);
    return {rect.x, rect.y, rect.width, rect.height};
}

QString Text(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace

class ProfileManagerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void controlsSitWhereTheSkinPutsThem_data();
    void controlsSitWhereTheSkinPutsThem();
    void opensOnTheKeyboardsThreeProfilesWithTheActiveOneChecked_data();
    void opensOnTheKeyboardsThreeProfilesWithTheActiveOneChecked();
    void checkingARowUnchecksTheOthersAndEnablesApply();
    void applySelectsTheCheckedProfileAndStoresTheList();
    void aFourthRowIsRefusedByTheKeyboardAndTheUserIsTold();
    void editsTheKeyboardStoresOtherwiseStopTheApply();
    void addWritesADefaultProfileThroughTheFileDialog();
    void loadOfADamagedFileAppendsAMarkedRow();
    void aFileThatWentMissingIsSaid();
    void deleteSelectsTheNextRow();
    void okAppliesAndClosesCancelOnlyCloses();
    void theDialogClosesWhenTheKeyboardGoes();
    void f1AsksForHelp();
    void screenshot();

private:
    void Drain();
    // An edit of the first key slot of profile 1 in the live profile, left unapplied.
    void EditLiveProfile(const KeyFunctionEntry& entry);
    KeyFunctionEntry LiveEntry();
    void ClickCheckOf(int row);
    void ClickButton(int id);
    QFileDialog& FileDialog();
    // What the user's choice in the open file dialog does: the file named, then its OK.
    void ChooseInFileDialog(const QString& file);
    QStringList ShownRow(int row);
    EmulatedHidBridge& Keyboard() { return m_keyboard->Keyboard(); }
    const StoragePaths& Storage() { return m_editor->Stack().Store().Paths(); }
    QString Stored(const QString& name) const { return m_preferences.StoredValue(name); }

    const AppPaths m_paths =
        AppPathsFromExecutable(std::filesystem::path(TAVRIK_BIN_DIR) / "tavrik");
    const UserPreferences m_preferences{QCoreApplication::applicationName()};
    QTemporaryDir m_settings;
    std::unique_ptr<QTemporaryDir> m_documents;
    test::HookedKeyboard* m_keyboard = nullptr;
    QStringList m_messages;
    bool m_answer = false; // to every question
    std::unique_ptr<KeyboardEditor> m_editor;
    std::unique_ptr<QWidget> m_mainWindow; // stands in for the window the dialog opens over
    ProfileManagerDialog* m_dialog = nullptr;
};

void ProfileManagerTest::initTestCase() {
    QVERIFY(m_settings.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
}

void ProfileManagerTest::init() {
    QSettings(QLatin1String(kSettingsOrganisation), QCoreApplication::applicationName()).clear();
    m_documents = std::make_unique<QTemporaryDir>();
    QVERIFY(m_documents->isValid());
    auto keyboard = std::make_unique<test::HookedKeyboard>(true);
    m_keyboard = keyboard.get();
    m_messages.clear();
    m_answer = false;
    m_editor = std::make_unique<KeyboardEditor>(
        std::move(keyboard), StoragePathsIn(FromQtPath(m_documents->path())),
        LightingPreferencesSource{},
        KeyboardEditor::UserDialogs{[this](const QString& text) { m_messages << text; },
                                    [this](const QString& question) {
                                        m_messages << question;
                                        return m_answer;
                                    }});
    m_editor->SetReady();
    m_editor->Start();
    QTRY_COMPARE(m_editor->KeyboardCount(), 1);
    Drain();
    m_mainWindow = std::make_unique<QWidget>();
    m_mainWindow->show();
    m_dialog = new ProfileManagerDialog(
        *m_editor, {m_paths.profileSkinFile, m_paths.skinFolder, m_paths.appFolder},
        m_mainWindow.get());
    m_dialog->OpenManager();
    QVERIFY(m_dialog->isVisible());
}

void ProfileManagerTest::cleanup() {
    m_mainWindow.reset();
    m_dialog = nullptr;
    m_editor.reset();
    m_documents.reset();
}

void ProfileManagerTest::Drain() {
    auto done = std::make_shared<std::atomic<bool>>(false);
    m_editor->PostAfterQueuedJobs([done] { *done = true; });
    QTRY_VERIFY(done->load());
    QCoreApplication::processEvents();
}

void ProfileManagerTest::EditLiveProfile(const KeyFunctionEntry& entry) {
    Drain(); // the worker is idle: the test may take the lock
    {
        LiveProfile& profile = m_editor->Stack().Profile();
        const LiveProfile::Lock lock = profile.LockProfile();
        profile.Record().layers[0][1] = entry;
    }
    m_editor->EnableApply(true);
}

KeyFunctionEntry ProfileManagerTest::LiveEntry() {
    Drain();
    LiveProfile& profile = m_editor->Stack().Profile();
    const LiveProfile::Lock lock = profile.LockProfile();
    return profile.Record().layers[0][1];
}

void ProfileManagerTest::ClickCheckOf(int row) {
    ProfileManagerList& list = m_dialog->List();
    const QRect cell = list.visualItemRect(list.item(row, kActiveColumn));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
}

void ProfileManagerTest::ClickButton(int id) {
    QVERIFY(m_dialog->Button(id)->isEnabled());
    QTest::mouseClick(m_dialog->Button(id), Qt::LeftButton);
}

QFileDialog& ProfileManagerTest::FileDialog() {
    auto* dialog = m_dialog->findChild<QFileDialog*>();
    if (dialog == nullptr)
        qFatal("no file dialog is open");
    return *dialog;
}

void ProfileManagerTest::ChooseInFileDialog(const QString& file) {
    QFileDialog& dialog = FileDialog();
    dialog.selectFile(file);
    static_cast<QDialog&>(dialog).accept();
}

QStringList ProfileManagerTest::ShownRow(int row) {
    const ProfileManagerList& list = m_dialog->List();
    const bool checked = list.item(row, kActiveColumn)->checkState() == Qt::Checked;
    return {checked ? QStringLiteral("x") : QString(), list.item(row, kNameColumn)->text(),
            list.item(row, kPathColumn)->text()};
}

void ProfileManagerTest::controlsSitWhereTheSkinPutsThem_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("caption");
    QTest::newRow("OK") << kOk << "CONTROL_OK"
                        << "确定";
    QTest::newRow("Cancel") << kCancel << "CONTROL_CANCEL"
                            << "取消";
    QTest::newRow("Add") << kAdd << "FUNC_ADD"
                         << "添加";
    QTest::newRow("Load") << kLoad << "FUNC_LOAD"
                          << "载入";
    QTest::newRow("Delete") << kDelete << "FUNC_DELETE"
                            << "删除";
    QTest::newRow("Apply") << kApply << "CONTROL2_APPLY"
                           << "应用";
}

void ProfileManagerTest::controlsSitWhereTheSkinPutsThem() {
    QFETCH(int, id);
    QFETCH(QString, key);
    QFETCH(QString, caption);
    const CIniFile skin(m_paths.profileSkinFile);
    QCOMPARE(m_dialog->size(), QSize(520, 404)); // the background picture's size
    QCOMPARE(m_dialog->windowModality(), Qt::WindowModal);
    const std::u16string skinKey = key.toStdU16String();
    QVERIFY(!IsUnplacedRect(ReadSkinRect(skin, u"BUTTONINFO", skinKey)));
    QCOMPARE(m_dialog->Button(id)->geometry(), SkinRectOf(skin, skinKey));
    QCOMPARE(m_dialog->Button(id)->accessibleName(), caption);
    QCOMPARE(m_dialog->List().geometry(), SkinRectOf(skin, u"PROGRAM_LIST"));
}

void ProfileManagerTest::opensOnTheKeyboardsThreeProfilesWithTheActiveOneChecked_data() {
    QTest::addColumn<int>("active");
    QTest::newRow("profile 1") << 0;
    QTest::newRow("profile 3") << 2;
}

void ProfileManagerTest::opensOnTheKeyboardsThreeProfilesWithTheActiveOneChecked() {
    QFETCH(int, active);
    m_dialog->reject();
    m_editor->PostSwitchProfile(active);
    Drain();
    m_dialog->OpenManager();

    const ProfileManagerList& list = m_dialog->List();
    QCOMPARE(list.rowCount(), 3);
    const QString folder = ToQtPath(Storage().folder) + u'/';
    for (int row = 0; row < 3; ++row) {
        const QString check = row == active ? QStringLiteral("x") : QString();
        QCOMPARE(ShownRow(row), (QStringList{check, QStringLiteral("$Profile0"), folder}));
    }
    QStringList headers;
    QList<int> widths;
    for (int column = 0; column < list.columnCount(); ++column) {
        headers << list.horizontalHeaderItem(column)->text();
        widths << list.horizontalHeader()->sectionSize(column);
    }
    QCOMPARE(headers, (QStringList{"激活", "名称", "路径"}));
    QCOMPARE(widths, (QList<int>{60, 120, 230}));
    QVERIFY(list.showGrid());
    QCOMPARE(list.selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(!m_dialog->Button(kApply)->isEnabled());
}

void ProfileManagerTest::checkingARowUnchecksTheOthersAndEnablesApply() {
    ClickCheckOf(2);
    QCOMPARE(ShownRow(0).first(), QString());
    QCOMPARE(ShownRow(2).first(), QStringLiteral("x"));
    QVERIFY(m_dialog->Button(kApply)->isEnabled());

    ClickCheckOf(2); // unchecked again: no row is checked, the dialog stays modified
    for (int row = 0; row < 3; ++row)
        QCOMPARE(ShownRow(row).first(), QString());
    QVERIFY(m_dialog->Button(kApply)->isEnabled());

    // The space bar turns the check of the current row.
    ProfileManagerList& list = m_dialog->List();
    list.setFocus();
    list.setCurrentCell(1, kNameColumn);
    QTest::keyClick(&list, Qt::Key_Space);
    QCOMPARE(m_dialog->Model().FirstCheckedRow(), std::optional<size_t>(1));
    QCOMPARE(ShownRow(1).first(), QStringLiteral("x"));
}

void ProfileManagerTest::applySelectsTheCheckedProfileAndStoresTheList() {
    QSignalSpy active(m_editor.get(), &KeyboardEditor::activeProfileChanged);
    ClickCheckOf(1);
    ClickButton(kApply);
    Drain();
    QVERIFY(!m_dialog->Button(kApply)->isEnabled());
    QCOMPARE(MemoryOf(Keyboard()).ActiveProfile(), uint8_t{1});
    QCOMPARE(active.last().first().toInt(), 1); // what the main window marks

    const QString stored = ToQtPath(Storage().folder / "$Profile0.tvk");
    QCOMPARE(Stored("PROFILE00"), QStringLiteral("3"));
    for (const char* row : {"PROFILE01", "PROFILE02", "PROFILE03"})
        QCOMPARE(Stored(QString::fromLatin1(row)), stored);
    QVERIFY2(m_messages.isEmpty(), qPrintable(m_messages.join(u'\n')));
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(ShownRow(1).first(), QStringLiteral("x"));
}

void ProfileManagerTest::aFourthRowIsRefusedByTheKeyboardAndTheUserIsTold() {
    const std::filesystem::path fourth = FromQtPath(m_documents->path()) / "fourth.tvk";
    QVERIFY(CreateDefaultProfileFile(fourth));
    ClickButton(kLoad);
    ChooseInFileDialog(ToQtPath(fourth));
    QCOMPARE(m_dialog->List().rowCount(), 4);
    ClickCheckOf(3);
    QSettings(QLatin1String(kSettingsOrganisation), QCoreApplication::applicationName())
        .setValue(QStringLiteral("PROFILES/PROFILE00"), QStringLiteral("7"));
    const KeyFunctionEntry edit{.type = KeyFunctionType::Disabled};
    EditLiveProfile(edit); // in the main window, not applied
    const emu::KeyboardMemory before = MemoryOf(Keyboard());

    ClickButton(kApply);
    QTRY_COMPARE(m_messages.size(), 2);
    Drain();
    const QString refusal = QStringLiteral("键盘没有切换到第 4 行的情景模式，键盘上的设定没有改变。"
                                           "\n键盘只有三个情景模式。");
    // Asked first whether to keep the main window's edits (No), then told of the refusal.
    QCOMPARE(m_messages, (QStringList{Text(profile_text::kSaveProfileQuestion), refusal}));
    QVERIFY(MemoryOf(Keyboard()) == before);
    QCOMPARE(m_editor->Stack().Keyboard().CachedActiveProfileIndex(), 0);
    QCOMPARE(Stored("PROFILE00"), QStringLiteral("7"));
    QVERIFY(m_editor->IsModified());
    QCOMPARE(LiveEntry(), edit);
    // The dialog keeps the choice, ready for another row.
    QVERIFY(m_dialog->Button(kApply)->isEnabled());
    QCOMPARE(ShownRow(3).first(), QStringLiteral("x"));

    // OK is refused the same way and leaves the dialog open.
    ClickButton(kOk);
    QTRY_COMPARE(m_messages.size(), 4);
    Drain();
    QCOMPARE(m_messages.last(), refusal);
    QVERIFY(m_dialog->isVisible());
    QVERIFY(MemoryOf(Keyboard()) == before);
    QCOMPARE(LiveEntry(), edit);
}

// The user has the main window's edits applied first, and the keyboard acknowledges them but
// stores a byte they change inverted: the user is told which part differs, and the Apply goes
// no further, since its reload would replace the edits with what the keyboard holds. The
// profile stays, the list is not stored, and both Apply buttons stay enabled; once the keyboard
// stores what it is sent, the same Apply does it all.
void ProfileManagerTest::editsTheKeyboardStoresOtherwiseStopTheApply() {
    KeyFunctionEntry typesB;
    typesB.type = KeyFunctionType::SingleKey;
    typesB.value = kScanB;
    Drain(); // the worker is idle: the test may take the lock
    {
        LiveProfile& profile = m_editor->Stack().Profile();
        const LiveProfile::Lock lock = profile.LockProfile();
        profile.Record().layers[0][KeyIndexFromScan(kScanA)] = typesB;
    }
    m_editor->EnableApply(true);
    m_answer = true;
    Keyboard().WithFirmware([](emu::KeyboardFirmware& firmware) {
        firmware.SetStoredByteFlip(emu::StoredByteFlip{emu::Area::KeyMaps, kUsageOfAAddress});
    });
    const auto usageOfA = [this] { return MemoryOf(Keyboard()).keyMaps[0][kUsageOfAAddress]; };

    ClickCheckOf(1);
    ClickButton(kApply);
    QTRY_COMPARE(m_messages.size(), 2);
    Drain();
    QCOMPARE(m_messages[0], Text(profile_text::kSaveProfileQuestion));
    QVERIFY2(m_messages[1].contains(QStringLiteral("写入硬件情景模式 1 的按键映射 (字节 56..111)")),
             qPrintable(m_messages[1]));
    QVERIFY(m_messages[1].contains(QStringLiteral("写入后读回的数据不同")));
    QCOMPARE(usageOfA(), uint8_t(kUsageB ^ 0xFF));
    QCOMPARE(MemoryOf(Keyboard()).ActiveProfile(), uint8_t{0});
    QCOMPARE(Stored("PROFILE00"), QString());
    QVERIFY(m_editor->IsModified());
    {
        LiveProfile& profile = m_editor->Stack().Profile();
        const LiveProfile::Lock lock = profile.LockProfile();
        QCOMPARE(profile.Record().layers[0][KeyIndexFromScan(kScanA)], typesB);
    }
    QVERIFY(m_dialog->Button(kApply)->isEnabled());
    QCOMPARE(ShownRow(1).first(), QStringLiteral("x"));

    Keyboard().WithFirmware(
        [](emu::KeyboardFirmware& firmware) { firmware.SetStoredByteFlip(std::nullopt); });
    ClickButton(kApply);
    QTRY_COMPARE(m_messages.size(), 3); // asked again, and nothing failed
    Drain();
    QVERIFY(!m_dialog->Button(kApply)->isEnabled());
    QCOMPARE(usageOfA(), kUsageB);
    QCOMPARE(MemoryOf(Keyboard()).ActiveProfile(), uint8_t{1});
    QCOMPARE(Stored("PROFILE00"), QStringLiteral("3"));
    QVERIFY(!m_editor->IsModified());
}

void ProfileManagerTest::addWritesADefaultProfileThroughTheFileDialog() {
    ClickButton(kAdd);
    QFileDialog& dialog = FileDialog();
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptSave);
    QCOMPARE(dialog.defaultSuffix(), QStringLiteral("tvk"));
    QCOMPARE(dialog.nameFilters(), (QStringList{"(*.tvk)", "(*.*)"}));
    QVERIFY(!dialog.testOption(QFileDialog::DontConfirmOverwrite));
    QCOMPARE(dialog.selectedFiles(), QStringList{ToQtPath(Storage().folder / "新情景模式.tvk")});
    ChooseInFileDialog(QStringLiteral("game")); // typed without its suffix

    const std::filesystem::path written = Storage().folder / "game.tvk";
    QCOMPARE(ValidateProfileFile(written, {}), ProfileFileCheck::Acceptable);
    QCOMPARE(m_dialog->List().rowCount(), 4);
    QCOMPARE(ShownRow(3),
             (QStringList{QString(), QStringLiteral("game"), ToQtPath(Storage().folder) + u'/'}));
    QCOMPARE(m_dialog->List().item(3, kNameColumn)->toolTip(), QString());
    QVERIFY(m_dialog->Button(kApply)->isEnabled());

    // A file that cannot be written adds no row and says why.
    ClickButton(kAdd);
    const std::filesystem::path nowhere = Storage().folder / "no folder" / "x.tvk";
    FileDialog().setFileMode(QFileDialog::AnyFile);
    emit FileDialog().fileSelected(ToQtPath(nowhere));
    FileDialog().reject();
    QCOMPARE(m_messages, QStringList{Text(profile_text::kCannotWriteFile) + ToQtPath(nowhere)});
    QCOMPARE(m_dialog->List().rowCount(), 4);
}

void ProfileManagerTest::loadOfADamagedFileAppendsAMarkedRow() {
    const std::filesystem::path folder = FromQtPath(m_documents->path());
    const std::filesystem::path damaged = folder / "broken.tvk";
    WriteFile(damaged, "not a profile file");
    ClickButton(kLoad);
    QCOMPARE(FileDialog().fileMode(), QFileDialog::ExistingFile);
    QCOMPARE(FileDialog().directory().absolutePath(), ToQtPath(Storage().folder));
    ChooseInFileDialog(ToQtPath(damaged));

    QCOMPARE(m_dialog->List().rowCount(), 4);
    const QString problem = Text(profile_text::kFileDamaged);
    QCOMPARE(ShownRow(3), (QStringList{QString(), QStringLiteral("broken"),
                                       QStringLiteral("[%1] %2/").arg(problem, ToQtPath(folder))}));
    QCOMPARE(m_dialog->List().item(3, kNameColumn)->toolTip(),
             QStringLiteral("%1: %2").arg(problem, ToQtPath(damaged)));
    QCOMPARE(m_dialog->Model().Rows()[3].fileState, ProfileFileState::Damaged);
    QVERIFY(m_dialog->Button(kApply)->isEnabled());
    // Judged, never loaded: the file is as it was, and the rows of the keyboard say nothing.
    std::ifstream in(damaged, std::ios::binary);
    QCOMPARE(std::string(std::istreambuf_iterator<char>(in), {}),
             std::string("not a profile file"));
    QCOMPARE(m_dialog->List().item(0, kNameColumn)->toolTip(), QString());
    QVERIFY(m_messages.isEmpty());
}

void ProfileManagerTest::aFileThatWentMissingIsSaid() {
    const std::filesystem::path file = FromQtPath(m_documents->path()) / "gone.tvk";
    QVERIFY(CreateDefaultProfileFile(file));
    ClickButton(kLoad);
    ChooseInFileDialog(ToQtPath(file));
    QCOMPARE(m_dialog->Model().Rows()[3].fileState, ProfileFileState::Present);

    std::filesystem::remove(file);
    // The user comes back to the dialog from wherever the file was removed.
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(m_dialog, &activate);
    QVERIFY(ShownRow(3).last().startsWith(u'[' + Text(profile_text::kFileMissing) + u']'));
    QCOMPARE(m_dialog->List().item(3, kPathColumn)->toolTip(),
             QStringLiteral("%1: %2").arg(Text(profile_text::kFileMissing), ToQtPath(file)));
}

void ProfileManagerTest::deleteSelectsTheNextRow() {
    ProfileManagerList& list = m_dialog->List();
    ClickButton(kDelete); // nothing is selected when the dialog opens: nothing goes
    QCOMPARE(list.rowCount(), 3);
    QVERIFY(!m_dialog->Button(kApply)->isEnabled());
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(list.item(1, kNameColumn)).center());
    ClickButton(kDelete);
    QCOMPARE(list.rowCount(), 2);
    QCOMPARE(list.SelectedRow(), std::optional<size_t>(1)); // the row after it
    QVERIFY(m_dialog->Button(kApply)->isEnabled());
    ClickButton(kDelete); // the last row: the one before it is selected
    QCOMPARE(list.rowCount(), 1);
    QCOMPARE(list.SelectedRow(), std::optional<size_t>(0));
    QCOMPARE(ShownRow(0).first(), QStringLiteral("x")); // profile 1, still checked
}

void ProfileManagerTest::okAppliesAndClosesCancelOnlyCloses() {
    ClickCheckOf(2);
    ClickButton(kCancel);
    QVERIFY(!m_dialog->isVisible());
    Drain();
    QCOMPARE(MemoryOf(Keyboard()).ActiveProfile(), uint8_t{0});
    QCOMPARE(Stored("PROFILE00"), QString());

    m_dialog->OpenManager(); // the rows are the keyboard's again
    QCOMPARE(m_dialog->Model().FirstCheckedRow(), std::optional<size_t>(0));
    ClickCheckOf(2);
    ClickButton(kOk);
    QTRY_VERIFY(!m_dialog->isVisible());
    QCOMPARE(MemoryOf(Keyboard()).ActiveProfile(), uint8_t{2});
    QCOMPARE(Stored("PROFILE00"), QStringLiteral("3"));
    QVERIFY(!m_dialog->Model().IsOpen());

    // OK with nothing changed only closes.
    m_dialog->OpenManager();
    ClickButton(kOk);
    QVERIFY(!m_dialog->isVisible());
    QVERIFY(m_messages.isEmpty());
}

void ProfileManagerTest::theDialogClosesWhenTheKeyboardGoes() {
    Keyboard().Unplug();
    QTRY_VERIFY(!m_dialog->isVisible());
    QVERIFY(!m_dialog->Model().IsOpen());
}

void ProfileManagerTest::f1AsksForHelp() {
    QSignalSpy help(m_dialog, &ProfileManagerDialog::helpRequested);
    QTest::keyClick(m_dialog, Qt::Key_F1);
    QCOMPARE(help.count(), 1);
    QVERIFY(m_dialog->isVisible());
}

void ProfileManagerTest::screenshot() {
    const std::filesystem::path folder = FromQtPath(m_documents->path()) / "键盘配置";
    std::filesystem::create_directories(folder);
    QVERIFY(CreateDefaultProfileFile(folder / "FPS 竞技.tvk"));
    WriteFile(folder / "旧配置.tvk", "damaged");
    for (const char* name : {"FPS 竞技.tvk", "旧配置.tvk", "已删除.tvk"}) {
        ClickButton(kLoad);
        FileDialog().setFileMode(QFileDialog::AnyFile);
        emit FileDialog().fileSelected(ToQtPath(folder / FromQtPath(QString::fromUtf8(name))));
        FileDialog().reject();
    }
    ClickCheckOf(3);
    m_dialog->List().selectRow(3);
    const QImage shot = m_dialog->grab().toImage();
    const std::filesystem::path shots = std::filesystem::path(TAVRIK_BIN_DIR) / "screenshots";
    std::filesystem::create_directories(shots);
    QVERIFY(shot.save(ToQtPath(shots / "profile-manager.png")));
    QCOMPARE(m_dialog->Model().Rows()[5].fileState, ProfileFileState::Missing);
}

} // namespace tavrik

QTEST_MAIN(tavrik::ProfileManagerTest)
#include "tst_profile_manager.moc"
