#pragma once
// A button shown by one of two pictures: its plain picture, or its marked one (a switch that is
// on, the chosen one of a pair, the tool in use). Clicking does not mark it: whoever owns the
// choice decides, since a click may be refused.

#include <QAbstractButton>
#include <QPixmap>

namespace tavrik {

class PictureChoice : public QAbstractButton {
    Q_OBJECT
public:
    PictureChoice(QPixmap plain, QPixmap marked, QWidget* parent = nullptr);

    void SetMarked(bool marked);
    bool IsMarked() const { return m_marked; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_plain;
    QPixmap m_markedPicture;
    bool m_marked = false;
};

} // namespace tavrik
