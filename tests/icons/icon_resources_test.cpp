// SPDX-License-Identifier: GPL-3.0-or-later
// The images the controller asks for by name must exist, as PNG, in the
// sizes a tray and a taskbar use, found through the program's own lookup.

#include "app/app_delegate.h"
#include "ext/text.h"
#include "foundation/wendle_lib.h"

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <gtest/gtest.h>

#include <optional>

namespace {

const QStringList kStates{QStringLiteral("ok"), QStringLiteral("warning"), QStringLiteral("error")};
constexpr int kMenuSize = 22;
constexpr int kDockSize = 128;
constexpr int kStatusSize = 32;

QString menuName(int set, const QString& state) {
    return QStringLiteral("iconset_menu_%1_%2").arg(set).arg(state);
}

QString dockName(int set, const QString& state) {
    return QStringLiteral("iconset_dock_%1_%2").arg(set).arg(state);
}

// The number of dock sets shipped: the program shows set 1 at least.
int dockSetCount() {
    int count = 0;
    while (resourcePath(dockName(count + 1, QStringLiteral("ok")) + QStringLiteral(".png"))) {
        ++count;
    }
    return count;
}

struct Ink {
    int pixels = 0;
    double red = 0, green = 0, blue = 0;  // mean colour of the opaque part, 0-255
    double luminance() const { return (0.299 * red + 0.587 * green + 0.114 * blue) / 255; }
};

Ink inkOf(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    Ink ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (qAlpha(p) < 128) {
                continue;
            }
            ++ink.pixels;
            ink.red += qRed(p);
            ink.green += qGreen(p);
            ink.blue += qBlue(p);
        }
    }
    if (ink.pixels > 0) {
        ink.red /= ink.pixels;
        ink.green /= ink.pixels;
        ink.blue /= ink.pixels;
    }
    return ink;
}

// Mean luminance (0-1) of the silhouette's rim: the opaque pixels next to a
// transparent one, which is what meets the panel's colour.
double rimLuminance(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    auto opaque = [&image](int x, int y) {
        return image.rect().contains(x, y) && qAlpha(image.pixel(x, y)) >= 128;
    };
    double sum = 0;
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (opaque(x, y) &&
                !(opaque(x - 1, y) && opaque(x + 1, y) && opaque(x, y - 1) && opaque(x, y + 1))) {
                const QRgb p = image.pixel(x, y);
                sum += (0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p)) / 255;
                ++count;
            }
        }
    }
    return count > 0 ? sum / count : 0;
}

// Loads a PNG and checks it is square of the size and not blank.
std::optional<QImage> picture(const QString& path, int size) {
    QImage image;
    if (!image.load(path, "PNG")) {
        ADD_FAILURE() << "not a PNG: " << path.toStdString();
        return std::nullopt;
    }
    EXPECT_EQ(image.size(), QSize(size, size)) << path.toStdString();
    EXPECT_GT(inkOf(image).pixels, 0) << "blank: " << path.toStdString();
    return image;
}

// A named image as the program finds it, with its HiDPI twin and the sizes
// of the icons folder.
std::optional<QImage> namedPicture(const QString& name, int size, const QList<int>& sizes) {
    const std::optional<QString> path = namedImage(name);
    if (!path) {
        ADD_FAILURE() << "no named image " << name.toStdString();
        return std::nullopt;
    }
    EXPECT_TRUE(path->endsWith(QStringLiteral(".png"))) << path->toStdString();
    const std::optional<QString> twin = resourcePath(name + QStringLiteral("@2x.png"));
    EXPECT_TRUE(twin.has_value()) << name.toStdString();
    if (twin) {
        picture(*twin, 2 * size);
    }
    for (int s : sizes) {
        picture(
            WendleLib::shared().resDir() + QStringLiteral("/icons/%1x%1/%2.png").arg(s).arg(name),
            s);
    }
    return picture(*path, size);
}

// A preview, found as a resource file by its full name.
void expectPreview(const QString& fileName, int size) {
    const std::optional<QUrl> url = resourceURL(fileName);
    ASSERT_TRUE(url.has_value()) << fileName.toStdString();
    picture(url->toLocalFile(), size);
}

const QList<int> kMenuSizes{16, 22, 24, 32, 44};
const QList<int> kDockSizes{16, 24, 32, 48, 64, 128, 256};

}  // namespace

// One menu-bar set for each name the settings window offers.
const int kMenuSets = int(AppDelegate::menuIconsetNames().size());

TEST(IconResourcesTest, EveryMenuAndDockImageResolvesToAPictureOfItsSize) {
    EXPECT_EQ(kMenuSets, 15);
    for (int set = 1; set <= kMenuSets; ++set) {
        for (const QString& state : kStates) {
            SCOPED_TRACE(menuName(set, state).toStdString());
            namedPicture(menuName(set, state), kMenuSize, kMenuSizes);
            expectPreview(menuName(set, state) + QStringLiteral(".png"), kMenuSize);
        }
    }
    ASSERT_GE(dockSetCount(), 1);
    for (int set = 1; set <= dockSetCount(); ++set) {
        for (const QString& state : kStates) {
            SCOPED_TRACE(dockName(set, state).toStdString());
            namedPicture(dockName(set, state), kDockSize, kDockSizes);
            expectPreview(dockName(set, state) + QStringLiteral(".png"), kDockSize);
        }
    }
    // The image of every desktop notification.
    EXPECT_TRUE(namedImage(QStringLiteral("iconset_dock_1_warning")).has_value());
    // One past the last set is not there: the settings window relies on it.
    EXPECT_EQ(
        resourceURL(menuName(kMenuSets + 1, QStringLiteral("warning")) + QStringLiteral(".png")),
        std::nullopt);
}

TEST(IconResourcesTest, StatusImagesAndApplicationIconResolve) {
    for (const QString& name : {QStringLiteral("ok"), QStringLiteral("warning"),
                                QStringLiteral("error"), QStringLiteral("info")}) {
        SCOPED_TRACE(name.toStdString());
        expectPreview(name + QStringLiteral(".png"), kStatusSize);
        namedPicture(name, kStatusSize, {16, 32, 64});
    }
    namedPicture(QStringLiteral("ostrivane"), kDockSize, kDockSizes);
    // The desktop's copy, beside the data folder as in an installation.
    const QString hicolor = WendleLib::shared().resDir() + QStringLiteral("/../icons/hicolor");
    for (int size : kDockSizes) {
        picture(hicolor + QStringLiteral("/%1x%1/apps/ostrivane.png").arg(size), size);
    }
    EXPECT_TRUE(QSvgRenderer(hicolor + QStringLiteral("/scalable/apps/ostrivane.svg")).isValid());
    EXPECT_TRUE(
        QSvgRenderer(hicolor + QStringLiteral("/symbolic/apps/ostrivane-symbolic.svg")).isValid());
}

TEST(IconResourcesTest, TheProgramFindsNoSvgInItsDataFolder) {
    // namedImage would take an SVG beside a missing PNG; the program must
    // never need an SVG library to show its images.
    QDirIterator it(WendleLib::shared().resDir(), {QStringLiteral("*.svg")}, QDir::Files,
                    QDirIterator::Subdirectories);
    EXPECT_FALSE(it.hasNext()) << it.next().toStdString();
}

// What each image must look like at a glance: green OK, amber warning, red
// error, and gray (or black) where a set is quiet by design.
TEST(IconResourcesTest, StatesAreTellApartByColourAsTheSetNamesPromise) {
    enum Colour { Green, Amber, Red, Gray };
    auto colourOf = [](int set, const QString& state) {
        const bool ok = state == QLatin1String("ok");
        if (set == 2 || set == 4 || (ok && (set == 11 || set == 12 || set == 13 || set == 14)) ||
            (set == 15 && state != QLatin1String("error"))) {
            return Gray;
        }
        return ok ? Green : state == QLatin1String("warning") ? Amber : Red;
    };
    for (int set = 1; set <= kMenuSets; ++set) {
        QList<QImage> images;
        for (const QString& state : kStates) {
            const QString name = menuName(set, state);
            SCOPED_TRACE(name.toStdString());
            const std::optional<QString> path = namedImage(name);
            ASSERT_TRUE(path.has_value());
            const QImage image(*path);
            images += image;
            const Ink ink = inkOf(image);
            const double r = ink.red, g = ink.green, b = ink.blue;
            switch (colourOf(set, state)) {
                case Green:
                    EXPECT_TRUE(g > r + 25 && g > b + 25) << r << " " << g << " " << b;
                    break;
                case Amber:
                    EXPECT_TRUE(r > b + 60 && g > b + 30 && r >= g) << r << " " << g << " " << b;
                    break;
                case Red:
                    EXPECT_TRUE(r > g + 50 && r > b + 50) << r << " " << g << " " << b;
                    break;
                case Gray:
                    EXPECT_TRUE(qAbs(r - g) < 12 && qAbs(g - b) < 12 && qAbs(r - b) < 12)
                        << r << " " << g << " " << b;
                    break;
            }
        }
        // Each state is its own picture, also in the gray sets.
        EXPECT_NE(images[0], images[1]) << set;
        EXPECT_NE(images[1], images[2]) << set;
        EXPECT_NE(images[0], images[2]) << set;
    }
}

TEST(IconResourcesTest, ImagesDrawnAsTemplatesHaveALightVariantForDarkPanels) {
    // The images that turn into templates on a dark panel, by the rule of the
    // status presentation: set 13 in OK, set 15 in OK and warning.
    const QList<std::pair<int, QString>> templated{
        {13, QStringLiteral("ok")}, {15, QStringLiteral("ok")}, {15, QStringLiteral("warning")}};
    for (const auto& [set, state] : templated) {
        const QString name = menuName(set, state);
        SCOPED_TRACE(name.toStdString());
        const std::optional<QImage> normal = namedPicture(name, kMenuSize, kMenuSizes);
        const std::optional<QImage> light =
            namedPicture(name + QStringLiteral("_dark"), kMenuSize, kMenuSizes);
        ASSERT_TRUE(normal && light);
        // Its outline is dark against a light panel, light against a dark one.
        EXPECT_LT(rimLuminance(*normal), 0.3);
        EXPECT_GT(rimLuminance(*light), 0.7);
    }
}

TEST(IconResourcesTest, EverySourceRendersAndIsShipped) {
    QDirIterator it(QStringLiteral(OSTRIVANE_ICON_SOURCE_DIR), {QStringLiteral("*.svg")},
                    QDir::Files, QDirIterator::Subdirectories);
    int sources = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        SCOPED_TRACE(path.toStdString());
        ++sources;
        QSvgRenderer svg(path);
        ASSERT_TRUE(svg.isValid());
        EXPECT_EQ(svg.viewBoxF().width(), svg.viewBoxF().height());
        QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        svg.render(&painter);
        painter.end();
        EXPECT_GT(inkOf(image).pixels, 0);
        // A source nobody renders is a set the user can never see.
        const QString name = it.fileInfo().completeBaseName();
        if (name != QLatin1String("ostrivane-symbolic")) {
            EXPECT_TRUE(resourcePath(name + QStringLiteral(".png")).has_value());
        }
    }
    // 15 menu sets, their light variants, dock sets, status images, app icons.
    EXPECT_GE(sources, 15 * 3 + 3 + 3 + 4 + 2);
}
