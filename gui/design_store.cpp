#include "gui/design_store.h"

#include "gui/program.h"

namespace {

DesignStore& Store() { return Program().store; }

}  // namespace

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

const WindowDesign* DesignOfWindow(FormId form) { return Store().designOf(form); }

void SetTouchstoneSourceProvider(std::function<TouchstoneSource()> provider) {
  Store().setSourceProvider(std::move(provider));
}

TouchstoneSource CurrentTouchstoneSource() { return Store().currentSource(); }

void OnWindowDesignChanged(std::function<void(FormId)> listener) {
  QObject::connect(&Store(), &DesignStore::designChanged, std::move(listener));
}

void NoteCalculateDone() { Store().noteCalculateDone(); }
void NoteComputeDone(FormId form, const DesignState& state) { Store().noteComputeDone(form, state); }
void ForgetWindowDesign(FormId form) { Store().forget(form); }
