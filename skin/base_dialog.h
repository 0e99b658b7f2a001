#pragma once
// CBaseDialog: the skinned base of every dialog. Its face is the background picture at 1:1,
// its size that picture's size, its outline the mask picture's non-white pixels; the user drags
// it by its face. The pictures are loaded at every opening and released by OK and Cancel; a
// missing one ends the process (see skin_failure.h). While open, the face picture is decoded
// only while it is being drawn (see skin_surface.h).

#include "skin/ini_file.h"
#include "skin/skin_surface.h"

#include <QDialog>
#include <QImage>
#include <QRegion>

#include <filesystem>
#include <memory>
#include <optional>

namespace tavrik {

class CBaseDialog : public QDialog {
    Q_OBJECT
public:
    CBaseDialog(std::filesystem::path skinFile, std::filesystem::path skinFolder,
                QWidget* parent = nullptr);

    // Runs the opening's initialisation (OnInitDialog) unless it has run since the last
    // OK or Cancel. Showing the dialog does it too.
    void InitDialog();
    bool IsInitialised() const { return m_face != nullptr; }

    const CIniFile& Skin() const { return m_skin; }
    const std::filesystem::path& SkinFolder() const { return m_skinFolder; }
    // The outline taken from the mask picture (empty for an all-white mask).
    const QRegion& Shape() const { return m_shape; }

    void accept() override;
    void reject() override;

protected:
    // Loads face and outline; derived dialogs place their controls after calling this.
    virtual void OnInitDialog();

    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    void ReleasePictures();

private:
    // The outline is all the mask picture is for: it is not kept.
    void ApplyShape(const QImage& mask);
    // Whether the platform cuts windows to a shape (X11 does, Wayland does not).
    static bool WindowShapesWork();

    std::filesystem::path m_skinFolder;
    CIniFile m_skin;
    std::unique_ptr<SkinSurface> m_face;
    QRegion m_shape;
    // Where the face was grabbed when the window system cannot move the window itself.
    std::optional<QPoint> m_dragGrab;
};

} // namespace tavrik
