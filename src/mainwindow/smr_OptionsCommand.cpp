#include "mainwindow/smr_OptionsCommand.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QTreeWidget>
#include <algorithm>

#include "dialogs/smr_ParametersForm.h"
#include "mainwindow/smr_MainForm.h"

namespace {
// The least of a window a screen must show for the user to reach it.
constexpr int kGrabbable = 48;

}  // namespace

QRect KeepOnScreen(const QRect& bounds, const QList<QRect>& screens, const QRect& own) {
  for (const QRect& screen : screens) {
    const QRect shown = screen & bounds;
    if (shown.width() >= std::min(kGrabbable, bounds.width()) &&
        shown.height() >= std::min(kGrabbable, bounds.height()))
      return bounds;
  }
  QRect kept(bounds.topLeft(), bounds.size().boundedTo(own.size()));
  kept.moveLeft(std::clamp(kept.left(), own.left(), own.left() + own.width() - kept.width()));
  kept.moveTop(std::clamp(kept.top(), own.top(), own.top() + own.height() - kept.height()));
  return kept;
}

QRect KeepOnScreen(const QRect& bounds, const QWidget& window) {
  QList<QRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) screens << screen->availableGeometry();
  return KeepOnScreen(bounds, screens, window.screen()->availableGeometry());
}

void RunOptionsCommand(Tfrm_MainForm& form) {
  Tfrm_ParametersForm dialog(&form);
  const QScreen* screen = form.screen();
  dialog.FormCreate(screen->geometry().size());
  const QRect bounds = form.geometry();
  dialog.SetBounds(
      {bounds.left(), bounds.top(), bounds.width(), bounds.height(), form.TreeWidth()});
  const bool libraryOpen = !form.Library().FileName.empty();
  dialog.Fill(form.Settings(), libraryOpen ? &form.Library() : nullptr);
  TFileDialogState& files = form.dlg_OpenFile;
  dialog.SetFileChooser(
      [&form, &files](const QString& title, const char* filter, const QString& fileName) {
        files.Title = title;
        files.Filter = QString::fromUtf8(filter);
        files.FilterIndex = 1;
        files.FileName = fileName;
        return form.Prompts().OpenFileName(&form, files);
      });
  dialog.SetFolderChooser([&form](const QString& title, const QString& folder) {
    TFileDialogState state;
    state.Title = title;
    state.Folders = true;
    state.InitialDir = folder;
    return form.Prompts().OpenFileName(&form, state);
  });
  if (form.Prompts().Modal(dialog) != QDialog::Accepted) return;

  Tfrm_ParametersForm::TBounds b = dialog.Bounds();
  const QRect kept = KeepOnScreen(QRect(b.Left, b.Top, b.Width, b.Height), form);
  b.Left = kept.left(), b.Top = kept.top(), b.Width = kept.width(), b.Height = kept.height();
  dialog.SetBounds(b);
  dialog.Apply();
  form.setGeometry(kept);
  form.SetTreeWidth(b.TreeWidth);
  form.pnl_Edit->SetMarkCaptions(
      {dialog.MarkCaption(0), dialog.MarkCaption(1), dialog.MarkCaption(2), dialog.MarkCaption(3)});
}
