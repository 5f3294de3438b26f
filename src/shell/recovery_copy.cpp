#include "shell/recovery_copy.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QStandardPaths>
#include <QTextDocument>
#include <QUuid>
#include <algorithm>
#include <array>
#include <utility>

#include "shell/safe_write.h"
#include "shell/tallo_doc.h"

namespace tallo::shell {
namespace {

constexpr char kTitle[] = "Tallo recovery copy";
const QString kCopySuffix = QStringLiteral(".recovery");
const QString kLockSuffix = QStringLiteral(".lock");

constexpr std::array<std::pair<Encoding, const char*>, 2> kEncodingNames = {{
    {Encoding::Utf8, "utf-8"},
    {Encoding::Windows1252, "windows-1252"},
}};
constexpr std::array<std::pair<LineEnd, const char*>, 3> kLineEndNames = {{
    {LineEnd::Lf, "lf"},
    {LineEnd::CrLf, "crlf"},
    {LineEnd::Cr, "cr"},
}};

template <typename Value, std::size_t N>
QString NameOf(const std::array<std::pair<Value, const char*>, N>& names, Value value) {
  for (const auto& [known, name] : names) {
    if (known == value) return QString::fromLatin1(name);
  }
  return {};
}

template <typename Value, std::size_t N>
std::optional<Value> ValueNamed(const std::array<std::pair<Value, const char*>, N>& names,
                                const QString& name) {
  for (const auto& [value, known] : names) {
    if (name == QLatin1String(known)) return value;
  }
  return std::nullopt;
}

QString CopyPathOf(const QString& folder, const QString& id) {
  return QDir(folder).filePath(id + kCopySuffix);
}

// A lock that no age makes stale: only the end of the process that holds it frees it.
std::unique_ptr<QLockFile> ClaimLock(const QString& folder, const QString& id) {
  auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(id + kLockSuffix));
  lock->setStaleLockTime(0);
  if (!lock->tryLock(0)) return nullptr;
  return lock;
}

// Deletes a copy and whatever an interrupted write of it left beside it.
void RemoveCopy(const QString& folder, const QString& id) {
  const QDir dir(folder);
  QFile::remove(dir.filePath(id + kCopySuffix));
  for (const QString& leftover :
       dir.entryList({id + kCopySuffix + QStringLiteral(".*")}, QDir::Files | QDir::Hidden)) {
    QFile::remove(dir.filePath(leftover));
  }
}

}  // namespace

QByteArray EncodeRecoveryCopy(const RecoveredText& copy) {
  const QByteArray text = copy.text.toUtf8();
  const QJsonObject about{
      {QStringLiteral("path"), copy.path},
      {QStringLiteral("encoding"), NameOf(kEncodingNames, copy.format.encoding)},
      {QStringLiteral("byte_order_mark"), copy.format.byte_order_mark},
      {QStringLiteral("line_end"), NameOf(kLineEndNames, copy.format.line_end)},
      {QStringLiteral("written"), copy.written.toUTC().toString(Qt::ISODateWithMs)},
      {QStringLiteral("bytes"), static_cast<double>(text.size())},
  };
  return QByteArray(kTitle) + '\n' + QJsonDocument(about).toJson(QJsonDocument::Compact) + '\n' +
         text;
}

std::optional<RecoveredText> DecodeRecoveryCopy(const QByteArray& bytes) {
  const QByteArray title = QByteArray(kTitle) + '\n';
  if (!bytes.startsWith(title)) return std::nullopt;
  const qsizetype about_end = bytes.indexOf('\n', title.size());
  if (about_end < 0) return std::nullopt;
  QJsonParseError parse_error{};
  const QJsonDocument about_json =
      QJsonDocument::fromJson(bytes.sliced(title.size(), about_end - title.size()), &parse_error);
  if (parse_error.error != QJsonParseError::NoError || !about_json.isObject()) return std::nullopt;
  const QJsonObject about = about_json.object();
  const std::optional<Encoding> encoding =
      ValueNamed(kEncodingNames, about.value(QStringLiteral("encoding")).toString());
  const std::optional<LineEnd> line_end =
      ValueNamed(kLineEndNames, about.value(QStringLiteral("line_end")).toString());
  const QDateTime written =
      QDateTime::fromString(about.value(QStringLiteral("written")).toString(), Qt::ISODateWithMs);
  const QByteArrayView text = QByteArrayView(bytes).sliced(about_end + 1);
  // A copy cut short is not offered as if it were the work.
  const double length = about.value(QStringLiteral("bytes")).toDouble(-1);
  if (!encoding || !line_end || !written.isValid() || length != static_cast<double>(text.size())) {
    return std::nullopt;
  }
  RecoveredText copy;
  copy.path = about.value(QStringLiteral("path")).toString();
  copy.format.encoding = *encoding;
  copy.format.byte_order_mark = about.value(QStringLiteral("byte_order_mark")).toBool();
  copy.format.line_end = *line_end;
  copy.text = QString::fromUtf8(text);
  copy.written = written;
  return copy;
}

std::vector<OrphanedCopy> OrphanedCopy::ClaimAll(const QString& folder) {
  std::vector<OrphanedCopy> orphans;
  const QDir dir(folder);
  for (const QString& name : dir.entryList({QStringLiteral("*") + kCopySuffix}, QDir::Files)) {
    const QString id = name.chopped(kCopySuffix.size());
    std::unique_ptr<QLockFile> lock = ClaimLock(folder, id);
    if (!lock) continue;  // its editor is still running, or another one is offering it
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::ReadOnly)) continue;
    std::optional<RecoveredText> content = DecodeRecoveryCopy(file.readAll());
    if (!content) continue;  // not a whole copy: left alone, never offered half
    orphans.push_back(OrphanedCopy(folder, id, std::move(lock), std::move(*content)));
  }
  std::sort(orphans.begin(), orphans.end(), [](const OrphanedCopy& a, const OrphanedCopy& b) {
    return a.content_.written > b.content_.written;
  });
  return orphans;
}

OrphanedCopy::OrphanedCopy(QString folder, QString id, std::unique_ptr<QLockFile> lock,
                           RecoveredText content)
    : folder_(std::move(folder)),
      id_(std::move(id)),
      lock_(std::move(lock)),
      content_(std::move(content)) {}

OrphanedCopy::OrphanedCopy(OrphanedCopy&&) noexcept = default;
OrphanedCopy& OrphanedCopy::operator=(OrphanedCopy&&) noexcept = default;
OrphanedCopy::~OrphanedCopy() = default;

void OrphanedCopy::Remove() {
  if (lock_) RemoveCopy(folder_, id_);
}

RecoveryCopy::RecoveryCopy(CTalloDoc* doc, QString folder, QObject* parent, RecoveryTiming timing)
    : QObject(parent),
      doc_(doc),
      folder_(std::move(folder)),
      timing_(timing),
      id_(QUuid::createUuid().toString(QUuid::WithoutBraces)) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &RecoveryCopy::WriteNow);
  QTextDocument* text = doc_->text();
  connect(text, &QTextDocument::contentsChanged, this, [this] {
    if (!doc_->IsLoading()) Schedule();
  });
  // Opening a file or starting a new document leaves nothing unsaved.
  connect(doc_, &CTalloDoc::PathChanged, this, [this] {
    if (!doc_->IsModified()) Discard();
  });
  // Do Calculation marks the document modified even when it inserts nothing.
  connect(text, &QTextDocument::modificationChanged, this, [this](bool modified) {
    if (doc_->IsLoading()) return;
    if (modified) {
      Schedule();
    } else {
      Discard();
    }
  });
}

RecoveryCopy::~RecoveryCopy() = default;

QString RecoveryCopy::DefaultFolder() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
      .filePath(QStringLiteral("recovery"));
}

QString RecoveryCopy::CopyPath() const { return CopyPathOf(folder_, id_); }

void RecoveryCopy::Schedule() {
  if (!timer_.isActive()) waiting_.start();
  const qint64 left = timing_.longest_wait_ms - waiting_.elapsed();
  timer_.start(static_cast<int>(std::clamp<qint64>(left, 0, timing_.quiet_ms)));
}

bool RecoveryCopy::WriteNow() {
  timer_.stop();
  // A text half loaded is nobody's work; the load ends by discarding the copy.
  if (doc_->IsLoading()) return true;
  if (!doc_->IsModified()) {
    Discard();
    return true;
  }
  QString error;
  if (!Write(&error)) {
    emit WriteFailed(error);
    return false;
  }
  return true;
}

bool RecoveryCopy::Write(QString* error) {
  if (!lock_) {
    // The work in it is the user's own: the folder is theirs alone.
    if (!QDir().mkpath(folder_) ||
        !QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
      *error = tr("The folder %1 cannot be made.").arg(QDir::toNativeSeparators(folder_));
      return false;
    }
    lock_ = ClaimLock(folder_, id_);
    if (!lock_) {
      *error = tr("The lock file in %1 cannot be made.").arg(QDir::toNativeSeparators(folder_));
      return false;
    }
  }
  const QByteArray bytes = EncodeRecoveryCopy(
      {doc_->path(), doc_->format(), DocumentText(*doc_->text()), QDateTime::currentDateTimeUtc()});
  return WriteFileSafely(CopyPath(), bytes, error);
}

void RecoveryCopy::Discard() {
  timer_.stop();
  if (!lock_) return;
  RemoveCopy(folder_, id_);
  lock_.reset();
}

void RecoveryCopy::Adopt(OrphanedCopy&& orphan) {
  Discard();
  id_ = std::move(orphan.id_);
  lock_ = std::move(orphan.lock_);
}

}  // namespace tallo::shell
