#include "cli/cli_picture.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <charconv>

#include "app/reporter.h"
#include "chart/chart_renderer.h"
#include "chart/qt_canvas.h"
#include "cli/cli_chart.h"
#include "export/atomic_file.h"
#include "fills/qt_flags.h"

namespace arbolix::cli {

namespace {

bool ParseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    const auto number = [](std::string_view part, int& value) {
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        return error == std::errc() && end == part.data() + part.size();
    };
    return number(std::string_view(text).substr(0, x), width) && number(std::string_view(text).substr(x + 1), height);
}

} // namespace

int RunChart(CliContext& context, const std::vector<std::string>& arguments) {
    std::vector<std::string_view> known = ChartOptions();
    known.insert(known.end(), {"size", "o"});
    Words words;
    if (!SplitWords(arguments, known, words, context.reporter)) return kExitUsage;
    int width = 0;
    int height = 0;
    if (!ParseSize(words.get("size", "1024x768"), width, height) || width < 1 || height < 1 || width > 32768 ||
        height > 32768) {
        context.reporter.report({"--size attend LARGEURxHAUTEUR, de 1 à 32768 pixels : " + words.get("size"),
                                 "arbolix-cli", MessageIcon::Stop});
        return kExitUsage;
    }
    if (!words.has("o")) {
        context.reporter.report({"chart attend -o FICHIER", "arbolix-cli", MessageIcon::Stop});
        return kExitUsage;
    }
    Chart chart;
    const int loaded = LoadChart(context, words, "chart", chart);
    if (!chart.computed) return loaded;

    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QtCanvas canvas(image);
        canvas.setFlagPainter([](QPainter& painter, int32_t flag, const QRect& target) { DrawFlag(painter, flag, target); });
        const ChartView view{chart.zoom, chart.scrollX, chart.scrollY};
        DrawChart(canvas, chart.tree, *chart.store, context.settings, view, width, height, Rect{0, 0, width - 1, height - 1},
                  context.reporter);
    }
    // The picture is encoded in memory first, so that the file is written whole or not at all.
    const std::string target = words.get("o");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QByteArray format = QFileInfo(QString::fromStdString(target)).suffix().toLower().toLatin1();
    if (!image.save(&buffer, format.isEmpty() ? "png" : format.constData())) {
        context.reporter.report({"Format d'image inconnu : " + target, "arbolix-cli", MessageIcon::Stop});
        return kExitFailure;
    }
    const FileError error = WriteFileAtomically(target, std::string_view(bytes.constData(), bytes.size()));
    if (error.failed()) {
        context.reporter.report({"Erreur enregistrement de l'image : " + error.describe(), "arbolix-cli",
                                 MessageIcon::Stop});
        return kExitFailure;
    }
    return loaded;
}

} // namespace arbolix::cli
