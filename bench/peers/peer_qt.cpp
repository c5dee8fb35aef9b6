// peer-qt: the ledger workload written with Qt's QPdfWriter. Like cairo it has no core
// fonts (the texts use the system font fontconfig picks for "Helvetica", embedded as
// a subset) and no public switch to turn stream compression off. Runs without a
// display on Qt's offscreen platform.
#include <QtCore/QByteArray>
#include <QtCore/QMarginsF>
#include <QtGui/QFont>
#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QPageSize>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>
#include <QtGui/QPen>

#include <cstdio>

#include "ledger_content.h"
#include "peer_cli.h"

namespace {

using namespace tabulon::bench;

// With the writer at 72 dots per inch one device unit is one point, so font sizes in
// points and positions in points need no further scale.
constexpr int kPointsPerInch = 72;

double pt(double mm) { return mm * kPointsPerMm; }

struct Fonts {
    QFont regular, bold, italic;
    const QFont& of(LedgerStyle style) const
    {
        return style == LedgerStyle::Bold ? bold : style == LedgerStyle::Italic ? italic : regular;
    }
};

QFont helvetica(int size, QFont::Weight weight, bool italic)
{
    QFont font(QStringLiteral("Helvetica"));
    font.setPointSize(size);
    font.setWeight(weight);
    font.setItalic(italic);
    return font;
}

void drawTexts(QPainter& painter, const Fonts& fonts, const std::vector<LedgerText>& texts)
{
    painter.setPen(QColor(0, 0, 0));
    for (const LedgerText& t : texts) {
        QFont font = fonts.of(t.style);
        if (font.pointSize() != t.size) font.setPointSize(t.size);
        painter.setFont(font);
        painter.drawText(QPointF(pt(t.x), pt(t.y)), QString::fromLatin1(t.text.data(), qsizetype(t.text.size())));
    }
}

void drawPage(QPainter& painter, const Fonts& fonts, const QImage& logo, int& rowIndex)
{
    drawTexts(painter, fonts, ledgerHeadingTexts());
    painter.drawImage(QRectF(pt(kLogo.x), pt(kLogo.y), pt(kLogo.width), pt(kLogo.height)), logo);

    QPen rule(QColor(0, 0, 255));
    rule.setWidthF(pt(kRule.widthTenthsMm / 10.0));
    rule.setCapStyle(Qt::FlatCap);
    painter.setPen(rule);
    painter.drawLine(QPointF(pt(kRule.x1), pt(kRule.y1)), QPointF(pt(kRule.x2), pt(kRule.y2)));

    painter.fillRect(QRectF(pt(kFooterBand.x), pt(kFooterBand.y), pt(kFooterBand.width), pt(kFooterBand.height)),
                     QColor(255, 255, 0));

    drawTexts(painter, fonts, ledgerPageBodyTexts(rowIndex));
}

}  // namespace

int main(int argc, char** argv)
{
    PeerArgs args;
    if (!parsePeerArgs(argc, argv, "peer-qt", args)) return 2;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);

    QImage logo(QString::fromLatin1(kLogoFile));
    if (logo.isNull()) {
        std::fprintf(stderr, "peer-qt: cannot read %s\n", kLogoFile);
        return 1;
    }
    QPdfWriter writer(QString::fromLocal8Bit(args.out.c_str()));
    writer.setPageSize(QPageSize(QSizeF(kPageWidthPt, kPageHeightPt), QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    writer.setResolution(kPointsPerInch);

    QPainter painter;
    if (!painter.begin(&writer)) {
        std::fprintf(stderr, "peer-qt: cannot write %s\n", args.out.c_str());
        return 1;
    }
    Fonts fonts{helvetica(12, QFont::Normal, false), helvetica(12, QFont::Bold, false),
                helvetica(12, QFont::Normal, true)};
    int rowIndex = 0;
    for (int page = 0; page < args.pages; ++page) {
        if (page > 0) writer.newPage();
        drawPage(painter, fonts, logo, rowIndex);
    }
    return painter.end() ? 0 : 1;
}
