// The sound library the program was written against, rebuilt on OpenAL Soft
// and libsndfile: same entry points, same reference-counted objects.
#pragma once

#include <string>

namespace audiere {

class RefCounted {
  public:
    RefCounted() = default;
    RefCounted(const RefCounted &) = delete;
    RefCounted &operator=(const RefCounted &) = delete;
    void ref() { ++count_; }
    void unref() {
        if (--count_ == 0)
            delete this;
    }

  protected:
    virtual ~RefCounted() = default;

  private:
    int count_ = 0;
};

// Holds one reference for as long as it lives.
template <class T> class RefPtr {
  public:
    RefPtr() = default;
    RefPtr(T *p) : p_(p) {
        if (p_)
            p_->ref();
    }
    RefPtr(const RefPtr &o) : RefPtr(o.p_) {}
    RefPtr(RefPtr &&o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    RefPtr &operator=(RefPtr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~RefPtr() {
        if (p_)
            p_->unref();
    }
    T *get() const { return p_; }
    T *operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

  private:
    T *p_ = nullptr;
};

class AudioDevice : public RefCounted {};

class SampleSource : public RefCounted {
  public:
    virtual const std::string &fileName() const = 0;
};

class OutputStream : public RefCounted {
  public:
    virtual void play() = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() = 0;
    virtual void reset() = 0;
    virtual void setRepeat(bool repeat) = 0;
    virtual void setVolume(float volume) = 0;
};

using AudioDevicePtr = RefPtr<AudioDevice>;
using SampleSourcePtr = RefPtr<SampleSource>;
using OutputStreamPtr = RefPtr<OutputStream>;

// Each returns null when the object cannot be made; nothing throws.
AudioDevice *AdrOpenDevice(const char *name = nullptr, const char *parameters = nullptr);
SampleSource *AdrOpenSampleSource(const char *fileName, int fileFormat = 0);
OutputStream *AdrOpenSound(AudioDevice *device, SampleSource *source, bool streaming);

// Why the last AdrOpenSampleSource or AdrOpenSound gave null. A null source
// handed to AdrOpenSound keeps the source's reason.
enum class OpenFailure {
    None,
    NoDevice,      // no device to play on; the file itself may be fine
    NoFile,        // no such file
    Unreadable,    // there, but it may not be read
    NotSound,      // not a regular file, or not a format this build decodes
    TooLong,       // more samples than one buffer holds
    TooManySounds, // the device has no voice left for it
};
OpenFailure lastOpenFailure();
// For backends: the reason of the open under way.
void setOpenFailure(OpenFailure failure);

// Where the three entry points get their objects: OpenAL by default, a fake in tests.
class Backend {
  public:
    virtual ~Backend() = default;
    virtual AudioDevice *openDevice() = 0;
    virtual SampleSource *openSampleSource(const std::string &fileName) = 0;
    virtual OutputStream *openSound(AudioDevice *device, SampleSource *source) = 0;
};

// Null restores the OpenAL backend.
void setBackend(Backend *backend);

} // namespace audiere
