// The in-process component registry: factories by description, and asynchronous instantiation
// on one thread of the registry's own.
#include "platform/audiounit/AUAudioUnit.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

class AUComponentRegistry {
public:
  struct Entry {
    AudioComponentDescription description;
    AUAudioUnit::Factory factory;
    std::string name;
    std::uint32_t version = 0;
  };

  static AUComponentRegistry& shared() {
    static AUComponentRegistry registry;
    return registry;
  }

  void add(Entry entry) {
    std::lock_guard lock(mutex_);
    for (auto& existing : entries_)
      if (existing.description == entry.description) {
        existing = std::move(entry);
        return;
      }
    entries_.push_back(std::move(entry));
  }

  void instantiate(const AudioComponentDescription& description,
                   AudioComponentInstantiationOptions options,
                   AUAudioUnit::InstantiationCompletion completion) {
    std::lock_guard lock(mutex_);
    tasks_.push_back([this, description, options, completion = std::move(completion)] {
      auto result = create(description, options);
      if (completion)
        completion(std::move(result));
    });
    if (!worker_.joinable())
      worker_ = std::thread([this] { run(); });
    wake_.notify_one();
  }

  ~AUComponentRegistry() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_one();
    if (worker_.joinable())
      worker_.join();
  }

private:
  AUResult<std::shared_ptr<AUAudioUnit>> create(const AudioComponentDescription& description,
                                                AudioComponentInstantiationOptions options) {
    std::optional<Entry> entry;
    {
      std::lock_guard lock(mutex_);
      for (const auto& candidate : entries_)
        if (componentMatches(candidate.description, description)) {
          entry = candidate;
          break;
        }
    }
    if (!entry)
      return AUError{kAudioComponentErr_UnsupportedType,
                     "no component is registered for " + componentDescriptionString(description)};
    try {
      auto unit = entry->factory(entry->description, options);
      if (unit && unit.value()) {
        unit.value()->componentName_ = entry->name;
        unit.value()->componentVersion_ = entry->version;
      } else if (unit) {
        return AUError{kAudioUnitErr_FailedInitialization,
                       "the factory for " + entry->name + " made no unit"};
      }
      return unit;
    } catch (const std::exception& exception) {
      return AUAudioUnit::errorOf(exception);
    }
  }

  // Runs tasks in order until the registry is destroyed, finishing those already queued.
  void run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
      if (tasks_.empty())
        return;
      auto task = std::move(tasks_.front());
      tasks_.pop_front();
      lock.unlock();
      task();
      lock.lock();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<Entry> entries_;
  std::deque<std::function<void()>> tasks_;
  bool stopping_ = false;
  std::thread worker_;
};

void AUAudioUnit::registerSubclass(Factory factory, const AudioComponentDescription& description,
                                   std::string name, std::uint32_t version) {
  AUComponentRegistry::shared().add({description, std::move(factory), std::move(name), version});
}

void AUAudioUnit::instantiate(const AudioComponentDescription& description,
                              AudioComponentInstantiationOptions options,
                              InstantiationCompletion completion) {
  AUComponentRegistry::shared().instantiate(description, options, std::move(completion));
}
