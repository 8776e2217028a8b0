#include "platform/print_reference.h"

#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QString>

#include "platform/forms.h"
#include "platform/pictures.h"

namespace platform {

void PrintPagesWithQt(const std::string& pdf, std::int32_t dotsPerInch, const DecodedPicture& picture,
                      const std::vector<ReferencePrintPage>& pages) {
  EnsureWindowSystem();
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf));
  printer.setResolution(dotsPerInch);
  printer.setFullPage(true);
  const PaperSize paper = PrintPaperSize();
  printer.setPageLayout(QPageLayout(QPageSize(QSizeF(paper.WidthMm, paper.HeightMm), QPageSize::Millimeter),
                                    QPageLayout::Portrait, QMarginsF()));
  const QImage source(picture.Rgb.data(), picture.Width, picture.Height, qsizetype(picture.Width) * 3,
                      QImage::Format_RGB888);
  QPainter painter(&printer);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::LosslessImageRendering);
  QFont font = painter.font();
  const auto rect = [](const PixelRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); };
  for (std::size_t n = 0; n < pages.size(); ++n) {
    if (n > 0) printer.newPage();
    const ReferencePrintPage& page = pages[n];
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::white);
    for (const PixelRect& frame : page.Frames) painter.drawRect(rect(frame));
    painter.drawImage(rect(page.Picture), source, rect(page.PicturePart));
    const ColorValue c = page.LineColor;
    painter.setPen(QPen(QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF), 0));
    for (const auto& [from, to] : page.Lines) painter.drawLine(from.X, from.Y, to.X, to.Y);
    font.setPixelSize(page.TextHeight);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (const auto& [at, text] : page.Texts)
      painter.drawText(QRect(at.X, at.Y, 10000, page.TextHeight * 2), Qt::AlignLeft | Qt::AlignTop,
                       QString::fromStdString(text));
  }
}

}  // namespace platform
