// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the SVG sources of the icons to PNG at build time, so that the
// program itself never loads an SVG library.
//
//   render-icons SOURCE.svg OUTPUT.png=SIZE [OUTPUT.png=SIZE ...]
//   render-icons [--zoom=N] --sheet OUTPUT.png SOURCE.svg [SOURCE.svg ...]
//
// The second form draws a contact sheet: every source at 16, 22 and 64 px,
// on a light and on a dark background, three sources to a row, to look the
// sets over at a glance.

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

void fail(const QString& message) {
    std::fprintf(stderr, "render-icons: %s\n", qPrintable(message));
}

bool hasInk(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) != 0) {
                return true;
            }
        }
    }
    return false;
}

QImage render(QSvgRenderer& svg, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

int renderOne(const QString& source, const QStringList& outputs) {
    QSvgRenderer svg(source);
    if (!svg.isValid()) {
        fail(QStringLiteral("cannot read %1").arg(source));
        return 1;
    }
    for (const QString& output : outputs) {
        const qsizetype equals = output.lastIndexOf(QLatin1Char('='));
        bool ok = false;
        const int size = equals > 0 ? output.mid(equals + 1).toInt(&ok) : 0;
        if (!ok || size < 1 || size > 1024) {
            fail(QStringLiteral("not OUTPUT.png=SIZE: %1").arg(output));
            return 2;
        }
        const QImage image = render(svg, size);
        // An empty picture means a shape the renderer does not understand.
        if (!hasInk(image)) {
            fail(QStringLiteral("%1 renders nothing at %2 px").arg(source).arg(size));
            return 1;
        }
        const QString path = output.left(equals);
        if (!image.save(path, "PNG")) {
            fail(QStringLiteral("cannot write %1").arg(path));
            return 1;
        }
    }
    return 0;
}

int contactSheet(const QString& output, const QStringList& sources, int zoom) {
    constexpr int kTiny = 16;
    constexpr int kSmall = 22;
    constexpr int kLarge = 64;
    constexpr int kCell = kLarge + 12;
    constexpr int kLabel = 230;
    constexpr int kColumns = 3;
    const int panel = kColumns * (kTiny + kSmall + 16) + kColumns * kCell;
    const int width = kLabel + 2 * panel;
    const int rows = int((sources.size() + kColumns - 1) / kColumns);
    QImage sheet(width, rows * kCell, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.fillRect(kLabel + panel, 0, panel, sheet.height(), QColor(0x2b, 0x2b, 0x2b));
    for (qsizetype i = 0; i < sources.size(); ++i) {
        const int row = int(i / kColumns);
        const int column = int(i % kColumns);
        const int y = row * kCell;
        QSvgRenderer svg(sources[i]);
        if (!svg.isValid()) {
            fail(QStringLiteral("cannot read %1").arg(sources[i]));
            return 1;
        }
        if (column == 0) {
            // A row holds a set's three states: name it after the set.
            QString name = QFileInfo(sources[i]).completeBaseName();
            if (name.endsWith(QLatin1String("_ok"))) {
                name.chop(3);
            }
            painter.setPen(Qt::black);
            painter.drawText(QRect(4, y, kLabel - 8, kCell), Qt::AlignVCenter, name);
            painter.setPen(QColor(0xdd, 0xdd, 0xdd));
            painter.drawLine(0, y, kLabel, y);
        }
        const QImage tiny = render(svg, kTiny);
        const QImage small = render(svg, kSmall);
        const QImage large = render(svg, kLarge);
        for (int side = 0; side < 2; ++side) {
            const int x = kLabel + side * panel + column * (kTiny + kSmall + 16 + kCell);
            painter.drawImage(x + 4, y + (kCell - kTiny) / 2, tiny);
            painter.drawImage(x + kTiny + 10, y + (kCell - kSmall) / 2, small);
            painter.drawImage(x + kTiny + kSmall + 16, y + (kCell - kLarge) / 2, large);
        }
    }
    painter.end();
    // Magnified pixel for pixel, to judge the small sizes.
    if (zoom > 1) {
        sheet = sheet.scaled(sheet.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    if (!sheet.save(output, "PNG")) {
        fail(QStringLiteral("cannot write %1").arg(output));
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args += QString::fromLocal8Bit(argv[i]);
    }
    int zoom = 1;
    if (args.size() >= 2 && args.first().startsWith(QLatin1String("--zoom="))) {
        zoom = qBound(1, args.takeFirst().mid(7).toInt(), 8);
    }
    if (args.size() >= 3 && args.first() == QLatin1String("--sheet")) {
        // The labels need fonts, hence a GUI application; no display is
        // needed, nor wanted, in a build.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return contactSheet(args[1], args.mid(2), zoom);
    }
    // Shapes alone draw on a QImage without any application object, which
    // keeps a run short: the build starts this program once per source.
    if (args.size() < 2 || args.first().startsWith(QLatin1Char('-'))) {
        fail(
            QStringLiteral("usage: render-icons SOURCE.svg OUTPUT.png=SIZE ... | --sheet "
                           "OUTPUT.png SOURCE.svg ..."));
        return 2;
    }
    return renderOne(args.first(), args.mid(1));
}
