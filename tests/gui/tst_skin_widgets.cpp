// The skinned dialog base and the image button on the offscreen platform, with pictures made
// by the test so that every pixel can be checked.

#include "skin/base_dialog.h"
#include "skin/dialog_face.h"
#include "skin/panel_pictures.h"
#include "skin/png_button.h"
#include "skin/skin_names.h"
#include "skin/skin_placement.h"
#include "temp_folder.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

namespace tavrik {
namespace {

constexpr QSize kFace(200, 120);

// A picture whose every pixel tells its position and which picture it is.
QImage PatternPicture(int seed) {
    QImage image(kFace, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(
                x, y, qRgb((x * 7 + seed * 50) & 0xFF, (y * 11 + seed * 30) & 0xFF, seed * 40));
        }
    }
    return image;
}

// Pictures are decoded by content: PNG bytes under a ".jpg" name keep every pixel exact.
void SavePicture(const QImage& image, const std::filesystem::path& file) {
    std::filesystem::create_directories(file.parent_path());
    QVERIFY(image.save(QString::fromStdString(file.string()), "PNG"));
}

QImage Grab(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void Hover(QWidget& widget) {
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), widget.mapToGlobal(QPointF(2, 2)));
    QApplication::sendEvent(&widget, &enter);
}

} // namespace

class SkinWidgetsTest : public QObject {
    Q_OBJECT

private slots:
    void surfaceKeepsCellsAndLetsTheWholePictureGo();
    void placedButtonShowsItsRegionOfEachStatePicture();
    void highlightShowsTheHoverPictureAsNormal();
    void buttonLeftAtOneOneIsDisabled();
    void tintTurnsWhiteIntoTheColourAndKeepsBlack();
    void checkImagesIgnoreHoverAndPressed();
    void tooltipOnHoverOnlyWithText();
    void doubleClickCountsAsSecondClick();
    void afterDrawCallbackSaysWhetherNormalWasDrawn();
    void captionIsDrawnInItsColour();
    void dialogWithoutMaskIsShapedByItsBackground();
    void allWhiteMaskGivesEmptyShape();
    void missingPicturesAreReported();
    void okAndCancelReleaseThePictures();
    void openDialogDrawsItsFaceAfterLettingItGo();
    void dialogIsDraggedByItsFace();
    void panelPicturesMissingOrUnreadableStayEmpty();
};

void SkinWidgetsTest::surfaceKeepsCellsAndLetsTheWholePictureGo() {
    testing::TempFolder app;
    const QImage picture = PatternPicture(6);
    SavePicture(picture, app / "cells.jpg");
    const SkinSurface* surface = SharedSkinSurface(app.Path(), "cells.jpg");
    QVERIFY(surface != nullptr);
    const QRect inside(10, 20, 80, 24);
    QCOMPARE(surface->Cell(inside), picture.copy(inside));

    QVERIFY(surface->HoldsWholePicture());
    QTRY_VERIFY(!surface->HoldsWholePicture());
    QCOMPARE(surface->Cell(inside), picture.copy(inside));

    // A cell asked for later is cut from the picture decoded again; black beyond the picture.
    const QRect across(kFace.width() - 20, 30, 40, 10);
    QImage expected(across.size(), QImage::Format_RGB32);
    expected.fill(Qt::black);
    QPainter(&expected).drawImage(-across.topLeft(), picture);
    QCOMPARE(surface->Cell(across), expected);
    QCOMPARE(surface->Whole(), picture);
    QTRY_VERIFY(!surface->HoldsWholePicture());

    // A picture gone since start leaves new cells black instead of failing.
    std::filesystem::remove(app / "cells.jpg");
    const QRect late(0, 0, 16, 16);
    QImage black(late.size(), QImage::Format_RGB32);
    black.fill(Qt::black);
    QCOMPARE(surface->Cell(late), black);
    QCOMPARE(surface->Cell(inside), picture.copy(inside));
}

void SkinWidgetsTest::placedButtonShowsItsRegionOfEachStatePicture() {
    testing::TempFolder app;
    app.Write("Skins/Profile.ini",
              "[SCREEN]\nMain=Profile_normal.jpg\n[BUTTONINFO]\nCONTROL_OK=10,20,80,24\n");
    const QImage normal = PatternPicture(1);
    const QImage over = PatternPicture(2);
    const QImage down = PatternPicture(3);
    SavePicture(normal, app / "Skins/Profile_normal.jpg");
    SavePicture(over, app / "Skins/Profile_over.jpg");
    SavePicture(down, app / "Skins/Profile_down.jpg");
    const LoadedStateImages loaded = LoadStateImages(app.Path(), skin::kProfilePictures);
    QVERIFY(loaded.missing.empty());

    QWidget face;
    face.resize(kFace);
    CPngButton button(&face);
    PlaceImageButton(button, CIniFile(app / "Skins/Profile.ini"), skin::kButtonInfo, u"CONTROL_OK",
                     loaded.images);
    QCOMPARE(button.geometry(), QRect(10, 20, 80, 24));
    QVERIFY(button.isEnabled());
    const QRect region(10, 20, 80, 24);

    QCOMPARE(Grab(button), normal.copy(region));
    Hover(button);
    QCOMPARE(button.CurrentLook(), ButtonLook::Hover);
    QCOMPARE(Grab(button), over.copy(region));
    button.setDown(true);
    QCOMPARE(Grab(button), down.copy(region));
    button.setDown(false);
    button.setEnabled(false); // the profile manager's pressed picture serves as disabled
    QCOMPARE(Grab(button), down.copy(region));
}

void SkinWidgetsTest::highlightShowsTheHoverPictureAsNormal() {
    testing::TempFolder app;
    const QImage pictures[] = {PatternPicture(1), PatternPicture(2), PatternPicture(3)};
    const std::string names[] = {"normal.jpg", "over.jpg", "lit.jpg"};
    const SkinSurface* surfaces[3] = {};
    for (int i = 0; i < 3; ++i) {
        SavePicture(pictures[i], app / names[i]);
        surfaces[i] = SharedSkinSurface(app.Path(), names[i]);
        QVERIFY(surfaces[i] != nullptr);
    }
    QWidget face;
    face.resize(kFace);
    CPngButton button(&face);
    button.setGeometry(10, 20, 80, 24);
    button.SetImages({10, 20}, {surfaces[0], surfaces[1], surfaces[0], surfaces[0], surfaces[2]});
    const QRect region(10, 20, 80, 24);

    button.SetHighlighted(true);
    QCOMPARE(Grab(button), pictures[1].copy(region));
    button.SetLit(true); // the assigned mark still shows
    QCOMPARE(Grab(button), pictures[2].copy(region));
    button.SetLit(false);
    button.SetHighlighted(false);
    QCOMPARE(Grab(button), pictures[0].copy(region));
}

void SkinWidgetsTest::buttonLeftAtOneOneIsDisabled() {
    testing::TempFolder app;
    app.Write("Main.ini", "[BUTTONINFO]\nFUNC_ADD=1,1,50,20\nFUNC_LOAD=1,2,50,20\n");
    SavePicture(PatternPicture(4), app / "normal.jpg");
    const SkinSurface* surface = SharedSkinSurface(app.Path(), "normal.jpg");
    QVERIFY(surface != nullptr);
    const StateImages images{surface, surface, surface, surface, surface};
    const CIniFile ini(app / "Main.ini");
    QWidget face;
    CPngButton unplaced(&face);
    CPngButton placed(&face);
    CPngButton missing(&face);
    PlaceImageButton(unplaced, ini, skin::kButtonInfo, u"FUNC_ADD", images);
    PlaceImageButton(placed, ini, skin::kButtonInfo, u"FUNC_LOAD", images);
    PlaceImageButton(missing, ini, skin::kButtonInfo, u"FUNC_DELETE", images);
    QCOMPARE(unplaced.geometry(), QRect(1, 1, 50, 20));
    QVERIFY(!unplaced.isEnabled());
    QVERIFY(placed.isEnabled());
    QCOMPARE(missing.geometry(), QRect(1, 1, 1, 1));
    QVERIFY(!missing.isEnabled());
}

void SkinWidgetsTest::tintTurnsWhiteIntoTheColourAndKeepsBlack() {
    QImage normal(kFace, QImage::Format_RGB32);
    normal.fill(Qt::black);
    for (int y = 0; y < kFace.height(); ++y) {
        for (int x = 0; x < kFace.width() / 2; ++x) {
            normal.setPixel(x, y, qRgb(255, 255, 255));
        }
    }
    normal.setPixel(30, 10, qRgb(0x80, 0x40, 0xFF)); // a grey-ish pixel keeps only its red
    const SkinSurface surface(normal);
    CPngButton button;
    button.setGeometry(20, 0, 120, 40);
    button.SetImages(QPoint(20, 0), {&surface, &surface, &surface, &surface, &surface});
    button.SetTint(QColor(255, 0, 0), true);
    const QImage tinted = Grab(button);
    QCOMPARE(tinted.pixel(5, 5), qRgb(255, 0, 0));    // white part of the key: red
    QCOMPARE(tinted.pixel(100, 5), qRgb(0, 0, 0));    // black part: black
    QCOMPARE(tinted.pixel(10, 10), qRgb(0x80, 0, 0)); // bitwise AND, pixel by pixel
    button.SetTint(QColor(255, 0, 0), false);
    QCOMPARE(Grab(button).pixel(5, 5), qRgb(255, 255, 255));
}

void SkinWidgetsTest::checkImagesIgnoreHoverAndPressed() {
    const SkinSurface normal(PatternPicture(1));
    const SkinSurface over(PatternPicture(2));
    const QImage down = PatternPicture(3);
    const SkinSurface downSurface(down);
    const QImage unchecked = PatternPicture(4);
    const SkinSurface uncheckedSurface(unchecked);
    const QImage checked = PatternPicture(5);
    const SkinSurface checkedSurface(checked);
    CPngButton button;
    button.setGeometry(30, 40, 50, 30);
    button.SetImages(QPoint(30, 40), {&normal, &over, &downSurface, &normal, &normal});
    button.SetCheckImages(&uncheckedSurface, &checkedSurface, true, true);
    Hover(button);
    button.setDown(true);
    QCOMPARE(Grab(button), checked.copy(30, 40, 50, 30));
    button.SetCheckImages(&uncheckedSurface, &checkedSurface, true, false);
    QCOMPARE(Grab(button), unchecked.copy(30, 40, 50, 30));
    button.SetCheckImages(&uncheckedSurface, &checkedSurface, false, false);
    QCOMPARE(Grab(button), down.copy(30, 40, 50, 30));
}

void SkinWidgetsTest::tooltipOnHoverOnlyWithText() {
    QWidget face;
    face.resize(kFace);
    CPngButton withText(&face);
    CPngButton withoutText(&face);
    // Away from the pointer, which the offscreen screen keeps at its corner.
    face.move(300, 300);
    withText.setGeometry(100, 50, 40, 40);
    withoutText.setGeometry(150, 50, 40, 40);
    withText.SetTooltip(QStringLiteral("帮助"));
    face.show();
    QVERIFY(QTest::qWaitForWindowExposed(&face));

    Hover(withoutText);
    QVERIFY(!QToolTip::isVisible());
    Hover(withText);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("帮助"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&withText, &leave);
    QTRY_VERIFY(!QToolTip::isVisible());
    QVERIFY(!withText.IsHovered());
}

void SkinWidgetsTest::doubleClickCountsAsSecondClick() {
    QWidget face;
    CPngButton button(&face);
    button.setGeometry(0, 0, 40, 20);
    face.show();
    QVERIFY(QTest::qWaitForWindowExposed(&face));
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    const QPoint at(10, 10);
    const QPointF global = button.mapToGlobal(QPointF(at));
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                    QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
        QMouseEvent event(type, QPointF(at), global, Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(&button, &event);
    }
    QCOMPARE(clicks.count(), 2);
}

void SkinWidgetsTest::afterDrawCallbackSaysWhetherNormalWasDrawn() {
    const SkinSurface picture(PatternPicture(6));
    CPngButton button;
    button.resize(30, 30);
    button.SetImages(QPoint(0, 0), {&picture, &picture, &picture, &picture, &picture});
    std::vector<bool> calls;
    button.SetDrawCallback([&](CPngButton& drawn, bool normalShown) {
        QCOMPARE(&drawn, &button);
        calls.push_back(normalShown);
    });
    Grab(button);
    button.SetLit(true);
    Grab(button);
    QCOMPARE(calls, (std::vector<bool>{true, false}));
}

void SkinWidgetsTest::captionIsDrawnInItsColour() {
    QImage blackPicture(kFace, QImage::Format_RGB32);
    blackPicture.fill(Qt::black);
    const SkinSurface black(blackPicture);
    CPngButton button;
    button.resize(120, 40);
    button.setText(QStringLiteral("确定 OK"));
    button.SetImages(QPoint(0, 0), {&black, &black, &black, &black, &black});
    const auto countColoured = [&] {
        const QImage image = Grab(button);
        int coloured = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                coloured += qGreen(image.pixel(x, y)) > 200 && qRed(image.pixel(x, y)) < 60 ? 1 : 0;
            }
        }
        return coloured;
    };
    QCOMPARE(countColoured(), 0); // text is off by default
    button.SetTextStyle(true, 12, QStringLiteral("Noto Sans CJK SC"), QColor(0, 255, 0));
    QVERIFY(countColoured() > 20);
    button.SetTextAngle(900, true);
    QVERIFY(countColoured() > 20);
}

void SkinWidgetsTest::dialogWithoutMaskIsShapedByItsBackground() {
    testing::TempFolder skins;
    skins.Write("Dialog.ini", "[SCREEN]\nMain=face.jpg\n");
    QImage background(60, 40, QImage::Format_RGB32);
    background.fill(Qt::white);
    for (int y = 5; y < 25; ++y) {
        for (int x = 10; x < 40; ++x) {
            background.setPixel(x, y, qRgb(20, 20, 30));
        }
    }
    background.setPixel(0, 39, qRgb(255, 255, 254)); // one almost-white pixel counts as window
    SavePicture(background, skins / "face.jpg");

    CBaseDialog dialog(skins / "Dialog.ini", skins.Path());
    dialog.InitDialog();
    QVERIFY(dialog.IsInitialised());
    QCOMPARE(dialog.size(), QSize(60, 40));
    const QRegion expected = QRegion(10, 5, 30, 20) + QRegion(0, 39, 1, 1);
    QVERIFY((dialog.Shape() ^ expected).isEmpty());
    QVERIFY((dialog.mask() ^ expected).isEmpty());
}

void SkinWidgetsTest::allWhiteMaskGivesEmptyShape() {
    testing::TempFolder skins;
    skins.Write("Dialog.ini", "[SCREEN]\nMain=face.jpg\nMask=mask.bmp\n");
    SavePicture(PatternPicture(7), skins / "face.jpg");
    QImage white(kFace, QImage::Format_RGB32);
    white.fill(Qt::white);
    SavePicture(white, skins / "mask.bmp");

    CBaseDialog dialog(skins / "Dialog.ini", skins.Path());
    dialog.InitDialog();
    QVERIFY(dialog.Shape().isEmpty());
    QVERIFY(!dialog.mask().isEmpty());
    QVERIFY(dialog.mask().intersected(dialog.rect()).isEmpty()); // nothing of the face shows
}

void SkinWidgetsTest::missingPicturesAreReported() {
    testing::TempFolder skins;
    SavePicture(PatternPicture(1), skins / "face.jpg");
    skins.Write("garbage.jpg", "not a picture at all");
    struct Case {
        std::string_view skin;
        std::filesystem::path failed;
    };
    const Case cases[] = {
        {"[SCREEN]\nMask=face.jpg\n", skins.Path() / ""}, // no "Main": names no file
        {"[SCREEN]\nMain=none.jpg\n", skins / "none.jpg"},
        {"[SCREEN]\nMain=garbage.jpg\n", skins / "garbage.jpg"},
        {"[SCREEN]\nMain=face.jpg\nMask=none.bmp\n", skins / "none.bmp"},
    };
    for (const Case& c : cases) {
        std::filesystem::path failed;
        const CIniFile ini(skins.Write("Dialog.ini", c.skin));
        QVERIFY(!LoadDialogFace(ini, skins.Path(), failed).has_value());
        QCOMPARE(QString::fromStdString(failed.string()),
                 QString::fromStdString(c.failed.string()));
    }
    std::filesystem::path failed;
    const CIniFile ini(skins.Write("Dialog.ini", "[screen]\nmain=face.jpg\n"));
    QVERIFY(LoadDialogFace(ini, skins.Path(), failed).has_value());
}

void SkinWidgetsTest::okAndCancelReleaseThePictures() {
    testing::TempFolder skins;
    skins.Write("Dialog.ini", "[SCREEN]\nMain=face.jpg\n");
    SavePicture(PatternPicture(2), skins / "face.jpg");
    CBaseDialog dialog(skins / "Dialog.ini", skins.Path());
    dialog.show();
    QVERIFY(dialog.IsInitialised());
    dialog.accept();
    QVERIFY(!dialog.IsInitialised());
    dialog.show(); // the next opening loads them again
    QVERIFY(dialog.IsInitialised());
    dialog.reject();
    QVERIFY(!dialog.IsInitialised());
}

void SkinWidgetsTest::openDialogDrawsItsFaceAfterLettingItGo() {
    testing::TempFolder skins;
    skins.Write("Dialog.ini", "[SCREEN]\nMain=face.jpg\n");
    const QImage face = PatternPicture(5);
    SavePicture(face, skins / "face.jpg");
    CBaseDialog dialog(skins / "Dialog.ini", skins.Path());
    dialog.show();
    QCOMPARE(Grab(dialog), face);
    QTest::qWait(2 * kWholePictureIdleMs); // the decoded face has been let go by now
    QCOMPARE(Grab(dialog), face);
}

void SkinWidgetsTest::dialogIsDraggedByItsFace() {
    testing::TempFolder skins;
    skins.Write("Dialog.ini", "[SCREEN]\nMain=face.jpg\n");
    SavePicture(PatternPicture(3), skins / "face.jpg");
    CBaseDialog dialog(skins / "Dialog.ini", skins.Path());
    dialog.move(100, 100);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QPoint start = dialog.pos();
    const auto send = [&](QEvent::Type type, QPoint local, QPoint global, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(local), QPointF(global), Qt::LeftButton, held,
                          Qt::NoModifier);
        QApplication::sendEvent(&dialog, &event);
    };
    const QPoint grab = dialog.mapToGlobal(QPoint(50, 50));
    send(QEvent::MouseButtonPress, QPoint(50, 50), grab, Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(70, 60), grab + QPoint(20, 10), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(70, 60), grab + QPoint(20, 10), Qt::NoButton);
    QTRY_COMPARE(dialog.pos(), start + QPoint(20, 10));
}

void SkinWidgetsTest::panelPicturesMissingOrUnreadableStayEmpty() {
    testing::TempFolder skins;
    SavePicture(PatternPicture(1).copy(0, 0, 52, 28), skins / "dengup.bmp");
    skins.Write("dengdown.bmp", "BM this is no bitmap");
    SavePicture(PatternPicture(2).copy(0, 0, 28, 28), skins / "jdt10.bmp");
    SavePicture(PatternPicture(3).copy(0, 0, 280, 28), skins / "25.bmp");
    const PanelPictures pictures(skins.Path());
    QCOMPARE(pictures.Picture("dengup.bmp").size(), QSize(52, 28));
    QVERIFY(pictures.Picture("dengdown.bmp").isNull());
    QVERIFY(pictures.Picture("leftup.bmp").isNull());
    QVERIFY(pictures.Picture("not-a-panel-picture.bmp").isNull());
    QCOMPARE(pictures.BusyFrame(9).size(), QSize(28, 28));
    QVERIFY(pictures.BusyFrame(0).isNull());
    QCOMPARE(pictures.SliderPosition(25).size(), QSize(280, 28));
    QVERIFY(pictures.SliderPosition(26).isNull());
}

} // namespace tavrik

QTEST_MAIN(tavrik::SkinWidgetsTest)
#include "tst_skin_widgets.moc"
