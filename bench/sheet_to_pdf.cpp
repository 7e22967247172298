// Prints one full label sheet into a PDF file, as the Print button would on
// paper, and exits: the whole-process cost of a print run.
//
//   sheet_to_pdf OUTPUT.pdf [LABEL_TYPE]
#include <QGuiApplication>
#include <QPrinter>
#include <cstdio>
#include <cstring>

#include "drawing/page_surface.h"
#include "print_run_sheet.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.pdf [LABEL_TYPE]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const linomark::LabelType labelType =
        linomark::LabelTypeFromIndex(argc > 2 && std::strcmp(argv[2], "1") == 0 ? 1 : 0);

    QPrinter printer(QPrinter::HighResolution);
    linomark::SetUpPdfPrinter(printer, QString::fromLocal8Bit(argv[1]));
    linomark::PageSurface page(printer);
    try {
        linomark::PrintSheet(page, labelType, linomark::FullSheet(labelType));
    } catch (const linomark::SurfaceError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
