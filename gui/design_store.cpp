#include "gui/design_store.h"

#include <QCoreApplication>
#include <QPointer>

DesignStore& DesignStore::Instance() {
  // Owned by the application object, so it goes with it; made on first use.
  static QPointer<DesignStore> store;
  if (!store) store = new DesignStore(QCoreApplication::instance());
  return *store;
}

const WindowDesign* DesignStore::designOf(FormId form) const {
  const auto& slot = designs_[static_cast<int>(form)];
  return slot ? &*slot : nullptr;
}

void DesignStore::setSourceProvider(std::function<TouchstoneSource()> provider) {
  provider_ = std::move(provider);
}

void DesignStore::noteCalculateDone() { sourceAtCalculate_ = provider_ ? provider_() : TouchstoneSource{}; }

void DesignStore::noteComputeDone(FormId form, const DesignState& state) {
  designs_[static_cast<int>(form)] = WindowDesign{state, sourceAtCalculate_.data, sourceAtCalculate_.path};
  emit designChanged(form);
}

void DesignStore::forget(FormId form) {
  auto& slot = designs_[static_cast<int>(form)];
  if (!slot) return;
  slot.reset();
  emit designChanged(form);
}

const WindowDesign* DesignOfWindow(FormId form) { return DesignStore::Instance().designOf(form); }

void SetTouchstoneSourceProvider(std::function<TouchstoneSource()> provider) {
  DesignStore::Instance().setSourceProvider(std::move(provider));
}

void OnWindowDesignChanged(std::function<void(FormId)> listener) {
  QObject::connect(&DesignStore::Instance(), &DesignStore::designChanged, std::move(listener));
}

void NoteCalculateDone() { DesignStore::Instance().noteCalculateDone(); }
void NoteComputeDone(FormId form, const DesignState& state) { DesignStore::Instance().noteComputeDone(form, state); }
void ForgetWindowDesign(FormId form) { DesignStore::Instance().forget(form); }
