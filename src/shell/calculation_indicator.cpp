#include "shell/calculation_indicator.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include "shell/tallo_view.h"

namespace tallo::shell {

CalculationIndicator::CalculationIndicator(CTalloView* view, QStatusBar* status_bar)
    : QWidget(status_bar) {
  auto* working = new QProgressBar(this);
  working->setRange(0, 0);  // the engine does not tell how far it is
  working->setMaximumWidth(fontMetrics().averageCharWidth() * 16);
  auto* cancel = new QPushButton(tr("Cancel"), this);
  cancel->setShortcut(Qt::Key_Escape);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(QMargins());
  layout->addWidget(new QLabel(tr("Calculating..."), this));
  layout->addWidget(working);
  layout->addWidget(cancel);
  status_bar->addWidget(this);
  hide();

  delay_.setSingleShot(true);
  delay_.setInterval(kDelayMilliseconds);
  connect(&delay_, &QTimer::timeout, this, &QWidget::show);
  connect(cancel, &QPushButton::clicked, view, &CTalloView::CancelCalculation);
  connect(view, &CTalloView::CalculationStarted, &delay_, qOverload<>(&QTimer::start));
  connect(view, &CTalloView::CalculationEnded, this, [this] {
    delay_.stop();
    hide();
  });
}

}  // namespace tallo::shell
