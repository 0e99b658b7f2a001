#pragma once
// The skin's look: a dark gaming theme with a cyan-to-violet accent. Every colour and font the
// painter uses comes from here, so the whole skin can be restyled in one place.

#include <QColor>
#include <QFont>
#include <QLinearGradient>
#include <QRectF>

namespace tavrik::painter::theme {

inline const QColor kWindowTop{0x1b, 0x1e, 0x25};
inline const QColor kWindowBottom{0x0e, 0x10, 0x14};
inline const QColor kWindowBorder{0x2e, 0x33, 0x3e};
inline const QColor kCard{0x17, 0x1a, 0x20};
inline const QColor kCardBorder{0x26, 0x2a, 0x33};
inline const QColor kPlate{0x10, 0x12, 0x16};
inline const QColor kPlateBorder{0x23, 0x27, 0x2f};

inline const QColor kText{0xe6, 0xe9, 0xef};
inline const QColor kTextMuted{0x8a, 0x91, 0x9e};
inline const QColor kTextFaint{0x5b, 0x61, 0x6e};
inline const QColor kTextOnAccent{0x06, 0x12, 0x18};

inline const QColor kAccent{0x22, 0xd3, 0xee};
inline const QColor kAccentDeep{0x8b, 0x5c, 0xf6};
inline const QColor kDanger{0xef, 0x44, 0x44};
inline const QColor kLedOn{0x4a, 0xde, 0x80};

inline const QColor kControl{0x25, 0x29, 0x32};
inline const QColor kControlHover{0x2e, 0x33, 0x3f};
inline const QColor kControlPressed{0x1b, 0x1e, 0x24};
inline const QColor kControlBorder{0x35, 0x3a, 0x46};
inline const QColor kControlDisabled{0x1d, 0x20, 0x26};

inline const QColor kCapEdge{0x1c, 0x1f, 0x25};
inline const QColor kCapTop{0x33, 0x37, 0x42};
inline const QColor kCapBottom{0x2a, 0x2e, 0x37};
inline const QColor kCapBorder{0x3d, 0x42, 0x4f};

// The family that holds Latin and CJK glyphs alike.
inline const char* const kFamily = "Noto Sans CJK SC";

inline QFont Font(int pixelSize, QFont::Weight weight = QFont::Normal) {
    QFont font(QString::fromLatin1(kFamily));
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

inline QLinearGradient AccentGradient(const QRectF& rect) {
    QLinearGradient gradient(rect.topLeft(), rect.topRight());
    gradient.setColorAt(0, kAccent);
    gradient.setColorAt(1, kAccentDeep);
    return gradient;
}

} // namespace tavrik::painter::theme
