#include "ui/TDefault_Firmware.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {
constexpr const char* ARCHIVE = "default.7z";
constexpr const char* ARCHIVER = "7za";
constexpr const char* IMAGE = "default24.dfc";
constexpr const char* PASSWORD = YELI_ARCHIVE_PASSWORD;  // from the build, which packs the simulation's archive
constexpr int ARCHIVER_TIME_LIMIT_MS = 60'000;
constexpr int ARCHIVER_POLL_MS = 100;  // how often the window answers the desktop while the archiver works

QString Path_Text(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

// The archiver shipped beside the archive, else the one installed on the system.
QString Find_Archiver(const std::filesystem::path& restore_folder) {
  const QFileInfo shipped(Path_Text(restore_folder / ARCHIVER));
  if (shipped.isFile() && shipped.isExecutable()) return shipped.absoluteFilePath();
  return QStandardPaths::findExecutable(ARCHIVER);
}

// The archiver's last words, which name what went wrong.
std::string Last_Line(const QByteArray& output) {
  const QList<QByteArray> lines = output.trimmed().split('\n');
  return lines.isEmpty() ? std::string() : lines.last().trimmed().toStdString();
}

// Extracts into `Temp_Dir`; nothing, or why not. The archiver runs without a shell, with its input
// closed and -y, so it can never wait for an answer.
std::optional<std::string> Run_Archiver(const QString& Restore_Exe, const QString& Restore_Archive, const QString& Temp_Dir,
                                        const TPump& keep_alive) {
  const QStringList Restore_Args = {"e", QString("-p") + PASSWORD, Restore_Archive, "-o" + Temp_Dir, "-y"};
  QProcess archiver;
  archiver.setProcessChannelMode(QProcess::MergedChannels);
  archiver.setStandardInputFile(QProcess::nullDevice());
  archiver.start(Restore_Exe, Restore_Args);
  if (!archiver.waitForStarted()) return "Cannot start " + Restore_Exe.toStdString() + ": " + archiver.errorString().toStdString();
  QElapsedTimer running;
  running.start();
  while (!archiver.waitForFinished(ARCHIVER_POLL_MS) && running.elapsed() < ARCHIVER_TIME_LIMIT_MS)
    if (keep_alive) keep_alive();
  if (archiver.state() != QProcess::NotRunning) {
    archiver.kill();
    archiver.waitForFinished();
    return "The archiver did not finish within " + std::to_string(ARCHIVER_TIME_LIMIT_MS / 1000) + " s";
  }
  if (archiver.exitStatus() != QProcess::NormalExit || archiver.exitCode() != 0)
    return "The archiver failed (exit code " + std::to_string(archiver.exitCode()) + "): " +
           Last_Line(archiver.readAll());
  return std::nullopt;
}
}  // namespace

std::optional<std::string> TDefault_Firmware::Extract(const std::filesystem::path& restore_folder,
                                                      const TPump& keep_alive) {
  Release();
  const QString Restore_Archive = Path_Text(restore_folder / ARCHIVE);
  if (!QFileInfo(Restore_Archive).isFile()) return "No archive " + Restore_Archive.toStdString();
  const QString Restore_Exe = Find_Archiver(restore_folder);
  if (Restore_Exe.isEmpty())
    return "No archiver: neither " + Path_Text(restore_folder / ARCHIVER).toStdString() +
           " nor 7za on the PATH (package p7zip-full)";
  // Created with a unique name, readable by this user only, so nobody can plant an image in it.
  auto temp_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/yeli-firmware-XXXXXX");
  if (!temp_dir->isValid()) return "Cannot create a temporary folder: " + temp_dir->errorString().toStdString();
  if (auto problem = Run_Archiver(Restore_Exe, Restore_Archive, temp_dir->path(), keep_alive)) return problem;
  if (!QFileInfo(temp_dir->filePath(IMAGE)).isFile()) return std::string("The archive holds no ") + IMAGE;
  Temp_Dir_ = std::move(temp_dir);
  return std::nullopt;
}

std::string TDefault_Firmware::Default_Image() const {
  return Temp_Dir_ ? QFile::encodeName(Temp_Dir_->filePath(IMAGE)).toStdString() : std::string();
}

void TDefault_Firmware::Release() { Temp_Dir_.reset(); }
