// tickora-icon-render OUTDIR SIZE...: writes the application icon as
// OUTDIR/NxN/apps/tickora-creator.png for each size, in the layout of an icon theme, so the
// installed icons are the program's own drawing.
#include "appicon.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>

#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "Usage: tickora-icon-render OUTDIR SIZE...\n");
        return 2;
    }
    // Without theme folders the program's drawn icon is used, never an icon installed earlier.
    QIcon::setThemeSearchPaths({});
    QIcon::setFallbackSearchPaths({});
    const QIcon icon = platform::applicationIcon();
    if (!icon.name().isEmpty()) {
        std::fprintf(stderr,
                     "The icon came from the theme \"%s\", not from the program's drawing.\n",
                     qPrintable(QIcon::themeName()));
        return 1;
    }

    for (const QString& arg : args.mid(1)) {
        bool ok = false;
        const int size = arg.toInt(&ok);
        if (!ok || size <= 0) {
            std::fprintf(stderr, "Not an icon size: %s\n", qPrintable(arg));
            return 2;
        }
        const QPixmap pm = icon.pixmap(QSize(size, size));
        // An icon with no drawing this large would come back smaller; a blurred enlargement is
        // worse than a failed build.
        if (pm.size() != QSize(size, size)) {
            std::fprintf(stderr, "The icon has no %dx%d drawing (got %dx%d).\n", size, size,
                         pm.width(), pm.height());
            return 1;
        }
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(args[0]).arg(size);
        const QString file = dir + QStringLiteral("/tickora-creator.png");
        if (!QDir().mkpath(dir) || !pm.save(file, "PNG")) {
            std::fprintf(stderr, "Could not write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
