#pragma once
// The profile manager, skinned from "Skins/Profile.ini": the list of profiles with one check box
// per row (the checked row's position is the keyboard profile Apply selects), "添加" to create a
// default profile file, "载入" to list an existing file, "删除", "应用", "确定" and "取消". Each
// opening lists the keyboard's three profiles afresh, the active one checked.
//
// The rules are the ProfileManagerModel's, which this dialog owns on the window's thread. Apply
// runs on the keyboard editor's worker and reports back; the dialog stays modified, and open
// after OK, when the keyboard refuses the checked row's profile (the user is told why).

#include "gui/dialog_skin.h"
#include "gui/keyboard_editor.h"
#include "profile/profile_manager_model.h"
#include "skin/base_dialog.h"
#include "skin/png_button.h"
#include "skin/skin_picture.h"

#include <map>

namespace tavrik {

class ProfileManagerList;

namespace profile_manager_id {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kList = 1007;
inline constexpr int kLoad = 1008;
inline constexpr int kAdd = 1010;
inline constexpr int kDelete = 1011;
inline constexpr int kApply = 1012;
} // namespace profile_manager_id

class ProfileManagerDialog : public CBaseDialog {
    Q_OBJECT
public:
    ProfileManagerDialog(KeyboardEditor& editor, DialogSkinPaths skin, QWidget* parent);

    // Lists the keyboard's profiles and shows the dialog, modal over its parent window, without
    // waiting for it to close. Does nothing while it is open.
    void OpenManager();

    CPngButton* Button(int id) const;
    ProfileManagerList& List() const { return *m_list; }
    const ProfileManagerModel& Model() const { return m_model; }

    // OK: Apply when something changed, then close once the keyboard took it. Cancel: close.
    void accept() override;
    void reject() override;

signals:
    // F1.
    void helpRequested();

protected:
    void OnInitDialog() override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateButtons();
    void PlaceControls();
    void RunCommand(int id);
    void AddProfile();
    void LoadProfile();
    void DeleteSelectedRow();
    void Apply(bool closeAfter);
    void ApplyFinished(bool applied, int opening);
    void ToggleCheck(size_t row);
    void ShowModel();
    void Close();
    const StoragePaths& Storage() const;

    KeyboardEditor& m_editor;
    DialogSkinPaths m_skinPaths; // Skins/Profile.ini, its folder, the program's folder
    ProfileManagerModel m_model;
    std::map<int, CPngButton*> m_buttons;
    ProfileManagerList* m_list = nullptr;
    int m_openings = 0; // tells an Apply's report from one of an earlier opening
    bool m_applying = false;
    bool m_closeAfterApply = false;
};

} // namespace tavrik
