#pragma once
// Do Calculation's engine work on a thread of its own, so that the window stays drawn and can
// offer to cancel while a large worksheet is calculated, and writes the answers in while the
// engine works on the rest.

#include <QObject>
#include <memory>
#include <vector>

#include "shell/worksheet_edit.h"

class QThread;

namespace tallo::shell {

class BackgroundCalculation : public QObject {
  Q_OBJECT

 public:
  explicit BackgroundCalculation(QObject* parent = nullptr);
  // Waits for the calculations still running, cancelled ones too: the engine cannot be stopped
  // half way.
  ~BackgroundCalculation() override;

  // Calculates text (CalculateAnswers): AnswersArrived for each batch, then Finished, all on
  // this object's thread, unless Cancel comes first. A calculation already running is
  // cancelled.
  void Start(QByteArray utf8, QChar line_end, bool p_values);
  // Drops the running calculation: what it still sends is thrown away.
  void Cancel();
  bool IsRunning() const { return running_ != nullptr; }

 signals:
  // The next answers in text order; batch may be taken (moved from) by the receiver.
  void AnswersArrived(tallo::shell::AnswerBatch& batch);
  // All answers have arrived; unanswered may be taken by the receiver.
  void Finished(std::vector<tallo::shell::UnansweredMark>& unanswered);

 private:
  struct Job;
  void OnThreadEnded(QThread* thread, const std::shared_ptr<Job>& job);

  std::shared_ptr<Job> running_;
  std::vector<std::unique_ptr<QThread>> threads_;
};

}  // namespace tallo::shell
