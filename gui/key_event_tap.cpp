#include "gui/key_event_tap.h"

#include "keys/native_key_event.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace tavrik {

KeyEventTap::~KeyEventTap() {
    Stop();
}

void KeyEventTap::Start() {
    if (!m_started)
        QCoreApplication::instance()->installEventFilter(this);
    m_started = true;
}

void KeyEventTap::Stop() {
    if (m_started)
        QCoreApplication::instance()->removeEventFilter(this);
    m_started = false;
}

bool KeyEventTap::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const TappedKey tapped{
        .scan = ScanFromNativeKeyEvent({.nativeScanCode = key->nativeScanCode(),
                                        .keysym = key->nativeVirtualKey(),
                                        .autoRepeat = key->isAutoRepeat(),
                                        .release = type == QEvent::KeyRelease}),
        .release = type == QEvent::KeyRelease,
        .autoRepeat = key->isAutoRepeat(),
    };
    if (tapped.scan == 0)
        return false;
    // Taking the override keeps a shortcut from using the key; its press then comes here.
    key->accept();
    if (type != QEvent::ShortcutOverride)
        emit keyTapped(tapped);
    return true;
}

} // namespace tavrik
