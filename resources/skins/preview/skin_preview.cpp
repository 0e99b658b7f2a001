// tavrik-skin-preview: shows a skinned dialog with all its pictures in place, for people who
// draw skins and for the screenshots. The main window is the program's own; the lighting panel
// and the lists, which their dialogs fill at run time, get sample contents here.
//   tavrik-skin-preview main|profile|composite|macro
// Reads the skin beside the program (bin/Skins).

#include "app/app_paths.h"
#include "app/instance_server.h"
#include "app/main_window.h"
#include "app/process_state.h"
#include "gui/keyboard_editor.h"
#include "profile/settings_file.h"
#include "profile/storage_paths.h"
#include "session/session_documents.h"
#include "skin/base_dialog.h"
#include "skin/panel_pictures.h"
#include "skin/skin_names.h"
#include "skin/skin_placement.h"
#include "skin/skin_texts.h"
#include "transport/backend_selection.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

namespace tavrik {
namespace {

// Widgets on the dark skin: the look the dialogs' own lists and boxes are meant to have.
const char* const kStyle = R"(
QWidget { font-family: "Noto Sans CJK SC"; }
QLabel { color: #e4e4e4; font-size: 13px; }
QComboBox, QLineEdit { background: #101216; color: #e6e9ef; border: 1px solid #353a46;
    border-radius: 6px; padding: 2px 8px; font-size: 13px; }
QComboBox::drop-down { border: none; width: 22px; }
QTreeWidget { background: #101216; color: #e6e9ef; border: none; font-size: 13px;
    alternate-background-color: #14171c; }
QTreeWidget::item { height: 26px; }
QTreeWidget::item:selected { background: #1e3a44; color: #ffffff; }
QHeaderView::section { background: #1b1e25; color: #8a919e; border: none;
    border-bottom: 1px solid #2b2f3a; padding: 4px 8px; font-size: 12px; }
QCheckBox { color: #e4e4e4; }
QTreeWidget::indicator, QCheckBox::indicator { width: 13px; height: 13px; border-radius: 3px;
    border: 1px solid #4b5260; background: #1b1e25; }
QTreeWidget::indicator:checked, QCheckBox::indicator:checked { background: #22d3ee;
    border-color: #22d3ee; }
)";

QLabel* Picture(QWidget* parent, const QPixmap& pixmap, const CIniFile& skin,
                std::u16string_view key) {
    auto* label = new QLabel(parent);
    label->setPixmap(pixmap);
    PlaceControl(*label, skin, skin::kButtonInfo, key);
    return label;
}

QLabel* Caption(QWidget* parent, const QString& text, const CIniFile& skin,
                std::u16string_view key) {
    auto* label = new QLabel(text, parent);
    PlaceControl(*label, skin, skin::kButtonInfo, key);
    return label;
}

QTreeWidget* List(QWidget* parent, const QStringList& columns,
                  const std::vector<QStringList>& rows) {
    auto* list = new QTreeWidget(parent);
    list->setHeaderLabels(columns);
    list->setRootIsDecorated(false);
    list->setAlternatingRowColors(true);
    for (const QStringList& row : rows) {
        list->addTopLevelItem(new QTreeWidgetItem(row));
    }
    return list;
}

// The lighting panel as it looks with effect 1 chosen in edit mode.
void AddLightingPanel(CTavrikDlg& window, const AppPaths& paths) {
    const CIniFile& skin = window.Skin();
    const PanelPictures pictures(paths.skinFolder);
    Caption(&window, QStringLiteral("灯光"), skin, u"CONTROL_DENGSTATIC");
    Picture(&window, pictures.Picture("dengdown.bmp"), skin, u"CONTROL_DENGSELECT");
    auto* effects = new QComboBox(&window);
    for (int mode = 1; mode <= 10; ++mode) {
        effects->addItem(QString::fromStdU16String(SkinModeName(skin, mode)));
    }
    PlaceControl(*effects, skin, skin::kButtonInfo, u"CONTROL_XGCOMBOX");
    Caption(&window, QStringLiteral("亮度"), skin, u"CONTROL_LightStatic");
    Picture(&window, pictures.SliderPosition(20), skin, u"CONTROL_LightSlider");
    Caption(&window, QStringLiteral("速度"), skin, u"CONTROL_FYSDSTATIC");
    Picture(&window, pictures.SliderPosition(12), skin, u"CONTROL_FYSDSLIDER");
    Caption(&window, QStringLiteral("方向"), skin, u"CONTROL_BLFXSTATIC");
    Picture(&window, pictures.Picture("leftdown.bmp"), skin, u"CONTROL_BLFXLSTATIC");
    Picture(&window, pictures.Picture("rightup.bmp"), skin, u"CONTROL_BLFXRSTATIC");
    Picture(&window, pictures.BusyFrame(2), skin, u"CONTROL_JDTSTATIC");
}

int ShowMain(const AppPaths& paths) {
    ProcessState state;
    InstanceServer notListening;
    // The demo keyboard, with its files in a temporary folder.
    const SessionDocuments documents(true);
    std::string error;
    KeyboardEditor editor(OpenBridge({DeviceChoice::Kind::Demo, {}}, &error),
                          StoragePathsIn(documents.Folder()), {},
                          {[](const QString&) {}, [](const QString&) { return false; }});
    CTavrikDlg window(state, paths, notListening, editor,
                      SettingsFile(SettingsFilePath(documents.Folder())));
    window.InitDialog();
    editor.Start();
    AddLightingPanel(window, paths);
    window.Button(1147)->SetLit(true); // report rate 1
    // Shown once the demo keyboard has been read, as Open requires.
    QTimer waitForKeyboard;
    QObject::connect(&waitForKeyboard, &QTimer::timeout, &window, [&] {
        if (editor.KeyboardCount() > 0 && window.IsReady()) {
            waitForKeyboard.stop();
            window.Open();
        }
    });
    waitForKeyboard.start(20);
    return QApplication::exec();
}

std::vector<CPngButton*> PlaceButtons(CBaseDialog& dialog,
                                      std::initializer_list<std::u16string_view> keys,
                                      const StateImages& images) {
    std::vector<CPngButton*> buttons;
    for (std::u16string_view key : keys) {
        buttons.push_back(new CPngButton(&dialog));
        PlaceImageButton(*buttons.back(), dialog.Skin(), skin::kButtonInfo, key, images);
    }
    return buttons;
}

StateImages Images(const AppPaths& paths, const skin::StatePictures& pictures) {
    const LoadedStateImages loaded = LoadStateImages(paths.appFolder, pictures);
    if (!loaded.missing.empty()) {
        std::fprintf(stderr, "tavrik-skin-preview: cannot load %s\n",
                     std::string(loaded.missing).c_str());
        std::exit(1);
    }
    return loaded.images;
}

int ShowProfile(const AppPaths& paths) {
    CBaseDialog dialog(paths.profileSkinFile, paths.skinFolder);
    dialog.InitDialog();
    const StateImages images = Images(paths, skin::kProfilePictures);
    PlaceButtons(dialog,
                 {u"CONTROL_OK", u"CONTROL_CANCEL", u"FUNC_ADD", u"FUNC_LOAD", u"FUNC_DELETE",
                  u"CONTROL2_APPLY"},
                 images);
    const QString folder = QStringLiteral("~/Documents/VOLTRI VX60 Driver");
    QTreeWidget* list =
        List(&dialog, {QStringLiteral("名称"), QStringLiteral("路径")},
             {{QStringLiteral("$Profile0"), folder},
              {QStringLiteral("$Profile1"), folder},
              {QStringLiteral("$Profile2"), folder},
              {QStringLiteral("FPS 竞技"), QStringLiteral("~/Documents/键盘配置")}});
    list->header()->resizeSection(0, 150);
    list->topLevelItem(0)->setCheckState(0, Qt::Checked);
    for (int row = 1; row < 4; ++row) {
        list->topLevelItem(row)->setCheckState(0, Qt::Unchecked);
    }
    list->setCurrentItem(list->topLevelItem(3));
    PlaceControl(*list, dialog.Skin(), skin::kButtonInfo, u"PROGRAM_LIST");
    dialog.show();
    return QApplication::exec();
}

int ShowComposite(const AppPaths& paths, bool macroPage) {
    CBaseDialog dialog(paths.compositeSkinFile, paths.skinFolder);
    dialog.InitDialog();
    const StateImages keySet = Images(paths, skin::kKeyPictures);
    const StateImages page = Images(paths, macroPage ? skin::kMacroPictures : skin::kKeyPictures);
    // Title and page area are disabled buttons showing their set's disabled picture.
    for (CPngButton* surface : PlaceButtons(dialog, {u"CONTROL_TITLE", u"CONTROL_MASK"}, page)) {
        surface->setEnabled(false);
    }
    const std::vector<CPngButton*> tabs = PlaceButtons(
        dialog, {u"CONTROL_KEY", u"CONTROL_MACRO", u"CONTROL_MEDIA", u"CONTROL_FUNCTION"}, keySet);
    PlaceButtons(dialog, {u"CONTROL_CLEAR", u"CONTROL_OK", u"CONTROL_CANCEL", u"CONTROL2_APPLY"},
                 keySet);
    // The tab in force shows its selected look.
    tabs[macroPage ? 1 : 0]->setDown(true);
    const CIniFile& skin = dialog.Skin();
    if (!macroPage) {
        PlaceButtons(dialog, {u"CONTROL_OSK"}, keySet);
        auto* key = new QLineEdit(QStringLiteral("Caps Lock"), &dialog);
        key->setReadOnly(true);
        key->setAlignment(Qt::AlignCenter);
        key->setStyleSheet(
            QStringLiteral("font-size: 18px; border: none; background: transparent;"));
        PlaceControl(*key, skin, skin::kButtonInfo, u"FUNC_KEY_INPUT");
        dialog.show();
        return QApplication::exec();
    }
    PlaceButtons(dialog,
                 {u"FUNC_MACRO_ADD", u"FUNC_MACRO_DELETE", u"FUNC_MACRO_RECORD",
                  u"FUNC_MACRO_UP_TOP", u"FUNC_MACRO_UP", u"FUNC_MACRO_DOWN",
                  u"FUNC_MACRO_DOWN_BOTTOM", u"FUNC_MACRO_DELETE2", u"FUNC_MACRO_CLEAR"},
                 page);
    auto* macros = new QComboBox(&dialog);
    macros->setEditable(true);
    macros->addItems({QStringLiteral("连招 1"), QStringLiteral("宏2")});
    PlaceControl(*macros, skin, skin::kButtonInfo, u"FUNC_MACRO_LIST");
    Caption(&dialog, QStringLiteral("循环次数"), skin, u"FUNC_MACRO_CYCLES_PROMPT");
    auto* cycles = new QLineEdit(QStringLiteral("1"), &dialog);
    PlaceControl(*cycles, skin, skin::kButtonInfo, u"FUNC_MACRO_CYCLES");
    QTreeWidget* actions = List(
        &dialog, {QStringLiteral("按键"), QStringLiteral("动作"), QStringLiteral("延时(毫秒)")},
        {{QStringLiteral("Ctrl"), QStringLiteral("↓"), QStringLiteral("35")},
         {QStringLiteral("C"), QStringLiteral("↓"), QStringLiteral("60")},
         {QStringLiteral("C"), QStringLiteral("↑"), QStringLiteral("20")},
         {QStringLiteral("Ctrl"), QStringLiteral("↑"), QStringLiteral("120")},
         {QStringLiteral("Enter"), QStringLiteral("↓"), QStringLiteral("45")},
         {QStringLiteral("Enter"), QStringLiteral("↑"), QStringLiteral("10")}});
    actions->header()->resizeSection(0, 100);
    actions->header()->resizeSection(1, 70);
    PlaceControl(*actions, skin, skin::kButtonInfo, u"FUNC_MACRO_LIST2");
    auto* delays = new QCheckBox(&dialog);
    delays->setChecked(true);
    PlaceControl(*delays, skin, skin::kButtonInfo, u"FUNC_MACRO_RECORD_DELAY");
    Caption(&dialog, QStringLiteral("记录按键延迟"), skin, u"FUNC_MACRO_RECORD_DELAY2");
    dialog.show();
    return QApplication::exec();
}

} // namespace
} // namespace tavrik

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    application.setStyleSheet(QString::fromLatin1(tavrik::kStyle));
    const QString which = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("main");
    const tavrik::AppPaths paths = tavrik::AppPathsFromExecutable(
        tavrik::CurrentExecutable().value_or(std::filesystem::path(argv[0])));
    if (which == QLatin1String("profile")) {
        return tavrik::ShowProfile(paths);
    }
    if (which == QLatin1String("composite") || which == QLatin1String("macro")) {
        return tavrik::ShowComposite(paths, which == QLatin1String("macro"));
    }
    return tavrik::ShowMain(paths);
}
