#include "ui/job_menu.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>

#include "engine/error_reporter.h"
#include "services/job_store.h"
#include "services/settings.h"
#include "ui/order_menu.h"
#include "ui/search_panel.h"
#include "ui/slot_panel.h"

namespace velmora {
namespace {

// A file dialog in the job folder; "" when it is cancelled.
std::string AskJobFile(QWidget* owner, const SettingsStore& store, bool save) {
  const QString folder = QString::fromStdString(JobFolder(store));
  QDir().mkpath(folder);
  QFileDialog dialog(owner,
                     save ? QCoreApplication::translate("velmora::Main", "Auftrag speichern")
                          : QCoreApplication::translate("velmora::Main", "Auftrag laden"),
                     folder, QCoreApplication::translate("velmora::Main", "Aufträge (*.ini)"));
  dialog.setObjectName(QStringLiteral("DlgJobFile"));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(QStringLiteral("ini"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst().toStdString();
}

}  // namespace

JobMenu::JobMenu(QMenu* options, SettingsStore& store, MessageSink& messages, JobWindow window)
    : QObject(options),
      options_(options),
      store_(store),
      messages_(messages),
      window_(std::move(window)) {
  setObjectName(QStringLiteral("JobMenu"));
  options->addSeparator();
  QAction* save =
      options->addAction(QCoreApplication::translate("velmora::Main", "&Auftrag speichern…"));
  save->setObjectName(QStringLiteral("MnuSaveJob"));
  QAction* load =
      options->addAction(QCoreApplication::translate("velmora::Main", "Auftrag la&den…"));
  load->setObjectName(QStringLiteral("MnuLoadJob"));
  end_ = options->addSeparator();
  connect(save, &QAction::triggered, this, [this] { MnuSaveJob_Click(); });
  connect(load, &QAction::triggered, this, [this] { MnuLoadJob_Click(); });
  FillRecent();
}

void JobMenu::MnuSaveJob_Click() {
  QWidget* owner =
      options_->parentWidget() != nullptr ? options_->parentWidget()->window() : nullptr;
  const std::string path = AskJobFile(owner, store_, true);
  if (!path.empty()) SaveJob(path);
}

void JobMenu::MnuLoadJob_Click() {
  QWidget* owner =
      options_->parentWidget() != nullptr ? options_->parentWidget()->window() : nullptr;
  const std::string path = AskJobFile(owner, store_, false);
  if (!path.empty()) LoadJob(path);
}

bool JobMenu::SaveJob(const std::string& path) {
  std::string problem;
  if (!WriteJobFile(path, ReadWindow(), problem)) {
    messages_.ShowMessage(problem);
    return false;
  }
  RememberJob(store_, path);
  FillRecent();
  return true;
}

bool JobMenu::LoadJob(const std::string& path) {
  // Keys a job leaves out take their defaults, not what the window holds.
  SavedJob job;
  std::string problem;
  if (!ReadJobFile(path, job, problem)) {
    messages_.ShowMessage(problem);
    return false;
  }
  ShowJob(job);
  RememberJob(store_, path);
  FillRecent();
  return true;
}

SavedJob JobMenu::ReadWindow() const {
  SavedJob job;
  job.pattern = window_.searchPanel.txtSearchSpec()->text().toStdString();
  job.subdirs = window_.searchPanel.OptSubdirs()->isChecked();
  const ListOrder order = ReadListOrder(store_);
  job.order = OrderName(order.by);
  job.orderReverse = order.reverse;
  const RenameJob shown = window_.slotPanel.ReadJob();
  for (std::size_t i = 0; i < kSlotCount; ++i) {
    job.slotCode[i] = shown.slotCode[i];
    job.first[i] = shown.txtSource[i];
    job.second[i] = shown.txtDestination[i];
  }
  job.numberStep = shown.numberStep;
  job.restartPerFolder = shown.restartPerFolder;
  job.resolveChains = window_.resolveChains.isChecked();
  return job;
}

void JobMenu::ShowJob(const SavedJob& job) {
  window_.resetFound(job.subdirs);
  window_.searchPanel.txtSearchSpec()->setText(QString::fromStdString(job.pattern));
  ListOrder order;
  ParseOrderName(job.order, order.by);
  order.reverse = job.orderReverse;
  window_.chooseOrder(order);
  for (int i = 0; i < kSlotCount; ++i) {
    const auto slot = static_cast<std::size_t>(i);
    window_.slotPanel.ShowSlot(i, job.slotCode[slot], QString::fromStdString(job.first[slot]),
                               QString::fromStdString(job.second[slot]));
  }
  window_.slotPanel.TxtNumberStep()->setText(QString::fromStdString(job.numberStep));
  window_.slotPanel.OptRestartPerFolder()->setChecked(job.restartPerFolder);
  window_.resolveChains.setChecked(job.resolveChains);
}

void JobMenu::FillRecent() {
  for (QAction* action : recent_) {
    options_->removeAction(action);
    action->deleteLater();
  }
  recent_.clear();
  int number = 0;
  for (const std::string& path : RecentJobs(store_)) {
    const QString file = QString::fromStdString(path);
    auto* action = new QAction(
        QStringLiteral("&%1 %2").arg(++number).arg(
            QFileInfo(file).completeBaseName().replace(QLatin1Char('&'), QStringLiteral("&&"))),
        options_);
    action->setObjectName(QStringLiteral("MnuRecentJob_%1").arg(number - 1));
    action->setToolTip(file);
    options_->insertAction(end_, action);
    connect(action, &QAction::triggered, this, [this, path] { LoadJob(path); });
    recent_.push_back(action);
  }
}

}  // namespace velmora
