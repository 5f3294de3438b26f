#include "shell/print_setup_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QVBoxLayout>

namespace tallo::shell {
namespace {

// Paper for a PDF file, which takes any.
const QList<QPageSize::PageSizeId> kFilePaper = {QPageSize::A4,    QPageSize::Letter,
                                                 QPageSize::Legal, QPageSize::A3,
                                                 QPageSize::A5,    QPageSize::Executive};

constexpr double kWidestMarginMillimetres = 100;

}  // namespace

PrintSetupDialog::PrintSetupDialog(QPrinter* printer, QWidget* parent)
    : QDialog(parent),
      printer_(printer),
      printer_name_(new QComboBox(this)),
      paper_(new QComboBox(this)),
      orientation_(new QComboBox(this)) {
  setWindowTitle(tr("Print Setup"));
  printer_name_->setObjectName(QStringLiteral("printer"));
  paper_->setObjectName(QStringLiteral("paper"));
  orientation_->setObjectName(QStringLiteral("orientation"));
  for (const QString& name : QPrinterInfo::availablePrinterNames()) {
    printer_name_->addItem(name, name);
  }
  printer_name_->addItem(tr("PDF file"), QString());
  const bool to_file = printer->outputFormat() == QPrinter::PdfFormat;
  const int current = printer_name_->findData(to_file ? QString() : printer->printerName());
  printer_name_->setCurrentIndex(current >= 0 ? current : 0);
  orientation_->addItem(tr("Portrait"), QPageLayout::Portrait);
  orientation_->addItem(tr("Landscape"), QPageLayout::Landscape);
  const QPageLayout layout = printer->pageLayout();
  orientation_->setCurrentIndex(orientation_->findData(layout.orientation()));
  ListPaperSizes(layout.pageSize().id());
  connect(printer_name_, &QComboBox::currentIndexChanged, this,
          [this] { ListPaperSizes(paper_->currentData()); });

  auto* choices = new QFormLayout;
  choices->addRow(tr("&Printer:"), printer_name_);
  choices->addRow(tr("Pape&r:"), paper_);
  choices->addRow(tr("&Orientation:"), orientation_);
  auto* margins_box = new QGroupBox(tr("Margins (millimetres)"), this);
  auto* margins = new QFormLayout(margins_box);
  const QMarginsF now = layout.margins(QPageLayout::Millimeter);
  const std::array<double, 4> values = {now.left(), now.top(), now.right(), now.bottom()};
  const std::array<QString, 4> names = {tr("&Left:"), tr("&Top:"), tr("R&ight:"), tr("&Bottom:")};
  for (std::size_t side = 0; side < margins_.size(); ++side) {
    auto* spin = new QDoubleSpinBox(margins_box);
    spin->setObjectName(QStringLiteral("margin%1").arg(side));
    spin->setRange(0, kWidestMarginMillimetres);
    spin->setDecimals(1);
    spin->setValue(values[side]);
    margins_[side] = spin;
    margins->addRow(names[side], spin);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* all = new QVBoxLayout(this);
  all->addLayout(choices);
  all->addWidget(margins_box);
  all->addWidget(buttons);
}

void PrintSetupDialog::ListPaperSizes(const QVariant& chosen) {
  const QString name = printer_name_->currentData().toString();
  QList<QPageSize::PageSizeId> sizes;
  for (const QPageSize& size : QPrinterInfo::printerInfo(name).supportedPageSizes()) {
    sizes.append(size.id());
  }
  if (name.isEmpty() || sizes.isEmpty()) sizes = kFilePaper;
  paper_->clear();
  for (const QPageSize::PageSizeId id : sizes) paper_->addItem(QPageSize::name(id), id);
  paper_->setCurrentIndex(std::max(0, paper_->findData(chosen)));
}

void PrintSetupDialog::accept() {
  const QPageSize paper(paper_->currentData().value<QPageSize::PageSizeId>());
  const auto orientation = orientation_->currentData().value<QPageLayout::Orientation>();
  const QMarginsF margins(margins_[0]->value(), margins_[1]->value(), margins_[2]->value(),
                          margins_[3]->value());
  const QPageLayout layout(paper, orientation, QMarginsF(), QPageLayout::Millimeter);
  const QRectF sheet = layout.fullRect(QPageLayout::Millimeter);
  if (margins.left() + margins.right() >= sheet.width() ||
      margins.top() + margins.bottom() >= sheet.height()) {
    QMessageBox::warning(this, tr("Print Setup"), tr("The margins leave no room on the paper."));
    return;
  }
  const QString name = printer_name_->currentData().toString();
  if (name.isEmpty()) {
    printer_->setOutputFormat(QPrinter::PdfFormat);
  } else {
    printer_->setOutputFormat(QPrinter::NativeFormat);
    printer_->setPrinterName(name);
  }
  printer_->setPageLayout(QPageLayout(paper, orientation, margins, QPageLayout::Millimeter));
  QDialog::accept();
}

}  // namespace tallo::shell
