#include "app/PendingEdits.h"

#include <vector>

#include "platform/db/dataset.h"
#include "platform/vcl/application.h"
#include "platform/vcl/forms.h"

using rtl::String;

String PendingEditsQuestion(const String& screenCaption) {
  return L"\"" + screenCaption + L"\" ekranında kaydedilmemiş değişiklikler var. Kaydedilsin mi?";
}

bool ConfirmPendingEdits(vcl::TCustomForm* screen) {
  if (!screen) return true;
  std::vector<db::TDataSet*> pending;
  for (int i = 0; i < screen->ComponentCount(); ++i) {
    auto* ds = dynamic_cast<db::TDataSet*>(screen->Components(i));
    if (ds && (ds->State() == db::dsEdit || ds->State() == db::dsInsert) && ds->Modified()) pending.push_back(ds);
  }
  if (pending.empty()) return true;
  int answer =
      vcl::Application->MessageBox(PendingEditsQuestion(screen->Caption()), L"Uyari", MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDCANCEL) return false;
  for (auto* ds : pending) {
    if (answer == IDNO) {
      ds->Cancel();
      continue;
    }
    try {
      ds->Post();
    } catch (...) {
      // The record stays in edit and on screen, so the user can correct what the database refused.
      vcl::Application->HandleException(screen);
      return false;
    }
  }
  return true;
}
