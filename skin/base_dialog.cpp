#include "skin/base_dialog.h"

#include "skin/dialog_face.h"
#include "skin/skin_failure.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace tavrik {

CBaseDialog::CBaseDialog(std::filesystem::path skinFile, std::filesystem::path skinFolder,
                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_skinFolder(std::move(skinFolder))
    , m_skin(std::move(skinFile)) {
    if (WindowShapesWork()) {
        // The background covers the whole face: nothing to erase first.
        setAttribute(Qt::WA_OpaquePaintEvent);
    } else {
        // The face is drawn inside its shape on a transparent window instead.
        setAttribute(Qt::WA_TranslucentBackground);
    }
}

bool CBaseDialog::WindowShapesWork() {
    // Wayland has no window shapes: the compositor takes only the window's transparency.
    return QGuiApplication::platformName() != QStringLiteral("wayland");
}

void CBaseDialog::InitDialog() {
    if (!IsInitialised()) {
        OnInitDialog();
    }
}

void CBaseDialog::OnInitDialog() {
    std::filesystem::path failed;
    std::optional<DialogFace> face = LoadDialogFace(m_skin, m_skinFolder, failed);
    if (!face) {
        EndProcessForMissingPicture(failed);
    }
    setFixedSize(face->background.size());
    m_face = std::make_unique<SkinSurface>(face->backgroundFile, std::move(face->background));
    ApplyShape(face->mask);
}

void CBaseDialog::ApplyShape(const QImage& mask) {
    m_shape = ShapeFromMask(mask);
    if (m_shape.isEmpty()) {
        // Qt reads an empty mask as "no mask"; a region off the face hides the whole window, as
        // an all-white mask asks.
        setMask(QRegion(-1, -1, 1, 1));
    } else {
        setMask(m_shape);
    }
}

void CBaseDialog::ReleasePictures() {
    m_face.reset();
}

void CBaseDialog::accept() {
    ReleasePictures();
    QDialog::accept();
}

void CBaseDialog::reject() {
    ReleasePictures();
    QDialog::reject();
}

void CBaseDialog::showEvent(QShowEvent* event) {
    InitDialog();
    QDialog::showEvent(event);
}

void CBaseDialog::paintEvent(QPaintEvent*) {
    if (m_face == nullptr) {
        return;
    }
    QPainter painter(this);
    if (!WindowShapesWork()) {
        painter.setClipRegion(m_shape);
    }
    painter.drawImage(0, 0, m_face->Whole());
}

void CBaseDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    // A press on the face moves the window as a press on a title bar would.
    QWindow* window = windowHandle();
    if (window == nullptr || !window->startSystemMove()) {
        m_dragGrab = event->globalPosition().toPoint() - frameGeometry().topLeft();
    }
    event->accept();
}

void CBaseDialog::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragGrab && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - *m_dragGrab);
        event->accept();
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void CBaseDialog::mouseReleaseEvent(QMouseEvent* event) {
    m_dragGrab.reset();
    QDialog::mouseReleaseEvent(event);
}

} // namespace tavrik
