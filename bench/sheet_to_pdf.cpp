// Prints one full label sheet into a PDF file, as the Print button would make
// its page, and exits: the whole-process cost of a print run.
//
//   sheet_to_pdf OUTPUT.pdf [LABEL_TYPE]
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>

#include "print_run_sheet.h"
#include "sheet/page_pdf.h"

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
    const linomark::ColumnLists sheet = linomark::FullSheet(labelType);
    const linomark::Outcome<QByteArray> page =
        linomark::MakePagePdf(linomark::A4Paper(), {}, QStringLiteral("label sheet"),
                              [&](linomark::DrawingSurface& surface) {
                                  linomark::PrintSheet(surface, labelType, sheet);
                              });
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!page) {
        std::fprintf(stderr, "%s\n", page.Reason().c_str());
        return 1;
    }
    if (!file.open(QIODevice::WriteOnly) || file.write(page.Value()) != page.Value().size()) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(file.errorString()));
        return 1;
    }
    return 0;
}
