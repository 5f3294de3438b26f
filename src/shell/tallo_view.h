#pragma once
// The view: a word-wrapping plain-text editor over the document's text, and the home of the
// two commands of this application, Do Calculation and Format of Functions.

#include <QElapsedTimer>
#include <QFont>
#include <QPlainTextEdit>
#include <QStringList>
#include <vector>

namespace tallo::shell {

class BackgroundCalculation;
class ColumnLayout;
class LineIndex;
class UnansweredMarks;
struct AnswerBatch;
struct UnansweredMark;

class CTalloView : public QPlainTextEdit {
  Q_OBJECT

 public:
  // Steps of Zoom In and Zoom Out, in points, and the sizes they keep to.
  static constexpr int kZoomStepPoints = 1;
  static constexpr qreal kSmallestPoints = 4;
  static constexpr qreal kLargestPoints = 96;

  explicit CTalloView(QWidget* parent = nullptr);
  ~CTalloView() override;

  // The text's lines as its file counts them.
  const LineIndex& lines() const { return *lines_; }
  // Moves the caret to the start of line (from 0) and shows it in the middle of the view.
  void GoToLine(int line);
  // The "=" that the last calculation left without an answer.
  UnansweredMarks& unanswered() const { return *unanswered_; }

  bool IsCalculating() const;
  // Do Calculation, returning once its answers are in (or it was cancelled meanwhile): for
  // programs that drive the view, such as tests and benchmarks.
  bool CalculateAndWait();

  // The font chosen for the text, before zooming.
  QFont TextFont() const { return text_font_; }
  void SetTextFont(const QFont& font);
  // Points added to the chosen font's size (negative: removed).
  int zoom() const { return zoom_; }
  void SetZoom(int points);
  // With aligned columns, TABs end where their column does; without, at every tab_columns-th
  // character width.
  bool AlignsColumns() const;
  void SetAlignColumns(bool on);
  int TabColumns() const { return tab_columns_; }
  void SetTabColumns(int columns);
  // With exact p-values, every significance label of a report is followed by its p-value.
  bool ExactPValues() const { return exact_p_values_; }
  void SetExactPValues(bool on) { exact_p_values_ = on; }

 public slots:
  // Calculates the worksheet away from the window's thread; meanwhile the text is read-only.
  // The answers go into the text as one undoable edit, the caret and the visible lines staying
  // with the text they were at, and the document counts as modified afterwards even when
  // nothing was inserted. The "=" left without an answer are marked. CalculationEnded tells the
  // end.
  void OnDoCalculation();
  // Stops waiting for the calculation: the text stays as it is.
  void CancelCalculation();
  // Shows the list of operators, functions and statements.
  void OnFormatOfFunctions();
  void ZoomIn() { SetZoom(zoom_ + kZoomStepPoints); }
  void ZoomOut() { SetZoom(zoom_ - kZoomStepPoints); }

 signals:
  // Files were dropped onto the view; they are opened, not pasted as text.
  void FilesDropped(const QStringList& paths);
  void CalculationStarted();
  // applied: the answers are in the text; false when the calculation was cancelled, also by
  // a change of the text while it ran.
  void CalculationEnded(bool applied);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // Ctrl with the wheel zooms, in the steps of Zoom In and Zoom Out.
  void wheelEvent(QWheelEvent* event) override;
  // A third click selects the line, not the whole paragraph, which may hold many lines.
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  // The calculation's answers as they arrive, and the end.
  void InsertBatch(AnswerBatch& batch);
  void FinishAnswers(std::vector<UnansweredMark>& unanswered);
  // Takes the answers of a cancelled calculation out again.
  void WithdrawAnswers();
  void ShowFont();

  ColumnLayout* columns_;
  LineIndex* lines_;
  UnansweredMarks* unanswered_;
  BackgroundCalculation* calculation_;
  QFont text_font_;
  int zoom_ = 0;
  QElapsedTimer since_double_click_;
  int tab_columns_;
  bool exact_p_values_ = false;
  // The running calculation's answers so far: whether some are in, how many UTF-16 units, and
  // the number of Undo steps just after them.
  struct AnswersSoFar {
    bool begun = false;
    qsizetype units = 0;
    int undo_steps = 0;
  };
  AnswersSoFar answered_;
  bool inserting_answers_ = false;  // a batch is going in now
};

}  // namespace tallo::shell
