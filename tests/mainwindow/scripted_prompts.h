#pragma once

// Prompts for tests: answers are queued by the test, and every question is
// recorded so the test can check what the window asked.
#include <gtest/gtest.h>

#include <QDialog>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

#include "mainwindow/smr_Prompts.h"

class TScriptedPrompts : public TPrompts {
 public:
  struct TRecord {
    QString Kind;  // "NewElement", "Authorization", "Confirmation", "Open", "Save", "Error", ...
    QString Text;  // message, or the dialog title
    int Mode = -1;
    int Number = -1;
    int RadioIndex = -1;
    QString Filter;  // or the library a passphrase is asked for
  };

  std::deque<TNewElementAnswer> NewElements;
  std::deque<TAuthorizationAnswer> Authorizations;
  std::deque<TPassphraseAnswer> Passphrases;
  std::deque<TConfirmationAnswer> Confirmations;
  std::deque<QString> OpenFiles;  // empty text = cancelled
  std::deque<QString> SaveFiles;
  std::deque<int> SaveFilterIndexes;  // chosen filter of the next save dialog
  std::deque<int> Choices;            // unscripted: -1, as if the window was closed
  // Each drives a shown dialog through its widgets; the dialog's result is
  // the answer. An unscripted dialog fails the test and is closed.
  std::deque<std::function<void(QDialog&)>> Modals;
  // Answers the import preview (recorded with the input's name); unset: cancelled.
  std::function<TImportAnswer(const TImportRequest&)> ImportAnswer;
  std::vector<TRecord> Asked;

  int Count(const QString& kind) const {
    int n = 0;
    for (const auto& r : Asked) n += r.Kind == kind;
    return n;
  }
  QStringList Messages(const QString& kind) const {
    QStringList out;
    for (const auto& r : Asked)
      if (r.Kind == kind) out << r.Text;
    return out;
  }

  TNewElementAnswer NewElement(QWidget*, int mode, int number, int radioIndex) override {
    Asked.push_back({"NewElement", {}, mode, number, radioIndex, {}});
    return Take(NewElements, "NewElement");
  }
  TImportAnswer ImportPreview(QWidget*, const TImportRequest& request) override {
    Asked.push_back(
        {"ImportPreview", request.FileName, request.Csv ? 1 : 0, -1, -1, request.Mapping});
    return ImportAnswer ? ImportAnswer(request) : TImportAnswer{};
  }
  TAuthorizationAnswer Authorization(QWidget*, int mode) override {
    Asked.push_back({"Authorization", {}, mode, -1, -1, {}});
    return Take(Authorizations, "Authorization");
  }
  // Recorded with the message as the text, the mode as a number and the
  // library named in the filter's place.
  TPassphraseAnswer Passphrase(QWidget*, TPassphraseMode mode, const QString& libraryName,
                               const QString& message) override {
    Asked.push_back({"Passphrase", message, static_cast<int>(mode), -1, -1, libraryName});
    return Take(Passphrases, "Passphrase");
  }
  TConfirmationAnswer Confirmation(QWidget*, const QString& text) override {
    Asked.push_back({"Confirmation", text, -1, -1, -1, {}});
    return Take(Confirmations, "Confirmation");
  }
  QString OpenFileName(QWidget*, TFileDialogState& state) override {
    Asked.push_back({"Open", state.Title, -1, -1, -1, state.Filter});
    QString file = Take(OpenFiles, "Open");
    if (!file.isEmpty()) state.FileName = file;
    return file;
  }
  QString SaveFileName(QWidget*, TFileDialogState& state) override {
    Asked.push_back({"Save", state.Title, -1, -1, -1, state.Filter});
    QString file = Take(SaveFiles, "Save");
    if (!SaveFilterIndexes.empty()) {
      state.FilterIndex = SaveFilterIndexes.front();
      SaveFilterIndexes.pop_front();
    }
    if (!file.isEmpty()) state.FileName = file;
    return file;
  }
  void Error(QWidget*, const QString& message) override {
    Asked.push_back({"Error", message, -1, -1, -1, {}});
  }
  void Information(QWidget*, const QString& message) override {
    Asked.push_back({"Information", message, -1, -1, -1, {}});
  }
  int Choose(QWidget*, const QString& message, const QStringList& buttons) override {
    Asked.push_back({"Choose", message + "|" + buttons.join('|'), -1, -1, -1, {}});
    return Take(Choices, "Choose");
  }
  void About(QWidget*) override { Asked.push_back({"About", {}, -1, -1, -1, {}}); }
  int Modal(QDialog& dialog) override {
    Asked.push_back({"Modal", dialog.objectName(), -1, -1, -1, {}});
    auto drive = Take(Modals, "Modal");
    dialog.setResult(0);
    dialog.show();
    if (drive) drive(dialog);
    if (dialog.isVisible()) dialog.close();
    return dialog.result();
  }
  void ShellOpen(const QString& target) override {
    Asked.push_back({"ShellOpen", target, -1, -1, -1, {}});
  }
  void OpenInBrowser(const QString& fileName) override {
    Asked.push_back({"Browser", fileName, -1, -1, -1, {}});
  }

 private:
  template <typename T>
  static T Take(std::deque<T>& queue, const char* what) {
    // An unexpected question fails the test; the window gets a "cancel".
    if (queue.empty()) {
      ADD_FAILURE() << "unscripted prompt: " << what;
      return T{};
    }
    T value = queue.front();
    queue.pop_front();
    return value;
  }
};
