#include "shell/background_calculation.h"

#include <QThread>
#include <algorithm>

namespace tallo::shell {

struct BackgroundCalculation::Job {
  QByteArray utf8;
  QChar line_end;
  bool p_values = false;
  std::vector<UnansweredMark> unanswered;
};

BackgroundCalculation::BackgroundCalculation(QObject* parent) : QObject(parent) {}

BackgroundCalculation::~BackgroundCalculation() {
  for (const std::unique_ptr<QThread>& thread : threads_) thread->wait();
}

void BackgroundCalculation::Start(QByteArray utf8, QChar line_end, bool p_values) {
  auto job = std::make_shared<Job>();
  job->utf8 = std::move(utf8);
  job->line_end = line_end;
  job->p_values = p_values;
  running_ = job;
  // Each batch is posted to this object's thread as it is made; the thread's end is posted
  // after the last, so Finished comes after every batch.
  const auto deliver = [this, job](AnswerBatch batch) {
    auto posted = std::make_shared<AnswerBatch>(std::move(batch));
    QMetaObject::invokeMethod(
        this,
        [this, job, posted] {
          if (job == running_) emit AnswersArrived(*posted);
        },
        Qt::QueuedConnection);
  };
  std::unique_ptr<QThread> thread(QThread::create([job, deliver] {
    job->unanswered = CalculateAnswers(job->utf8, job->line_end, job->p_values, deliver);
    job->utf8 = QByteArray();
  }));
  QThread* started = thread.get();
  connect(started, &QThread::finished, this, [this, started, job] { OnThreadEnded(started, job); });
  threads_.push_back(std::move(thread));
  started->start();
}

void BackgroundCalculation::Cancel() { running_.reset(); }

void BackgroundCalculation::OnThreadEnded(QThread* thread, const std::shared_ptr<Job>& job) {
  const auto ended = std::find_if(threads_.begin(), threads_.end(),
                                  [thread](const auto& held) { return held.get() == thread; });
  (*ended)->wait();  // finished is told just before the thread's last instructions
  threads_.erase(ended);
  if (job != running_) return;  // cancelled
  running_.reset();
  emit Finished(job->unanswered);
}

}  // namespace tallo::shell
