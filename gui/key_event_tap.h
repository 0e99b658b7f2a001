#pragma once
// While started, every key event of the application reaches this tap before any window: a key
// of the key table (the physical key decides, whatever the layout) is reported and consumed,
// so no focused control, button or shortcut ever sees it. Keys the table lacks pass on. This is
// how the assignment dialog's single-key tab takes the next key pressed, Enter and Esc too.

#include "keys/key_table.h"

#include <QObject>

namespace tavrik {

struct TappedKey {
    ScanCode scan = 0;
    bool release = false;
    bool autoRepeat = false;
};

class KeyEventTap : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~KeyEventTap() override;

    void Start();
    void Stop();

signals:
    void keyTapped(const tavrik::TappedKey& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_started = false;
};

} // namespace tavrik
