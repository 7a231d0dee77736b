#include "session/session.h"

namespace quillmark {

Session::Session(StoreFiles& files) : files_(files) {}

void Session::Load(SettingsFile& settings) {
  loaded_ = false;
  LoadStoresAndConfiguration(stores_, files_, settings);
  LoadMappingDictionary(stores_, files_);
  loaded_ = true;
}

void Session::Save(SettingsFile& settings) {
  if (!loaded_) return;
  SaveAllStores(stores_, files_, settings, reportPath_);
}

}  // namespace quillmark
