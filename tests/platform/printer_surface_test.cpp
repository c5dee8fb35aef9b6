#include <string>

#include <QPageLayout>

#include <gtest/gtest.h>

#include "pdf_check.h"
#include "qt_print_job.h"

using namespace tabulon::platform;

namespace {

QString latin1(const std::string& text) { return QString::fromLatin1(text); }

}  // namespace

TEST(PrinterSurface, DrawsEveryPageOnItsOwnSheetOfThePrintableArea)
{
    const std::string path = ::testing::TempDir() + "printer_surface.pdf";
    QtPrintJob job(nullptr);
    QtPrinterSurface surface(job, latin1);
    EXPECT_FALSE(job.start("Utskrift Preview"));  // no printer chosen yet
    ASSERT_TRUE(job.chooseFile(path));
    ASSERT_TRUE(job.start("Utskrift Preview"));
    surface.open();
    const double height = surface.outputHeight();
    EXPECT_NEAR(height, job.printer().pageLayout().paintRect(QPageLayout::Millimeter).height(), 1e-9);
    EXPECT_GT(height, 250.0);
    EXPECT_LE(height, 297.0);
    surface.setSourceColour(0xFF000000);
    auto font = surface.loadFont("DejaVu Sans", 12, false);
    surface.selectVectorFont(*font);
    surface.movePathCursor(10, 10);
    surface.drawText("First sheet");
    job.newPage();
    surface.movePathCursor(10, 10);
    surface.drawText("Second sheet");
    surface.close();
    job.end();

    EXPECT_TRUE(tabulon::test::qpdfAccepts(path));
    EXPECT_EQ(tabulon::test::pdfinfoPages(path), 2);
    const std::string text = tabulon::test::pdfText(path);
    EXPECT_NE(text.find("First sheet"), std::string::npos);
    EXPECT_NE(text.find("Second sheet"), std::string::npos);
    EXPECT_LT(text.find("First sheet"), text.find("Second sheet"));
}

TEST(PrinterSurface, PicturesKeepTheirFullResolution)
{
    QtPrintJob job(nullptr);
    QtPrinterSurface surface(job, latin1);
    QtSurfaceImage image(QImage(400, 120, QImage::Format_RGB32));
    surface.resizeImage(image, 50, 15);  // one pixel per millimetre would blur a logo
    EXPECT_EQ(image.image.size(), QSize(400, 120));
}
