// A small OpenFX host of our own: it hands a plug-in the property,
// image effect, parameter, multithread and message suites (the last two on
// request), keeps the descriptors, instances, clips, parameters and images
// the plug-in reaches through handles, and drives the actions a real host
// sends. It fails loudly: a handle it never gave out, an image never
// released or a property of the wrong type comes back as an error status
// and is listed in Faults().
#ifndef HUEWRIGHT_TESTS_OFX_HOST_TEST_HOST_H
#define HUEWRIGHT_TESTS_OFX_HOST_TEST_HOST_H

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "api/ofx_core.h"
#include "api/ofx_image_effect.h"
#include "host_image.h"
#include "property_set.h"

namespace ofx_host {

struct HostOptions {
  bool multithread_suite = true;
  unsigned cpus = 2;  // what multiThreadNumCPUs answers
  bool message_suite = true;
};

struct Message {
  std::string type, id, text;
};

struct Param {
  std::string type;
  PropertySet properties;
  int boolean = 0;
  double number = 0.0;
};

struct Clip {
  std::string name;
  PropertySet properties;
  class Instance* owner = nullptr;  // null in a descriptor
};

// A descriptor or an instance, as the plug-in sees it through one handle.
struct Effect {
  PropertySet properties;
  std::map<std::string, std::unique_ptr<Param>> params;
  std::vector<std::string> param_order;
  std::map<std::string, std::unique_ptr<Clip>> clips;
  Effect();
  ~Effect();
  Effect(const Effect&) = delete;
  Effect& operator=(const Effect&) = delete;
  OfxImageEffectHandle Handle() { return reinterpret_cast<OfxImageEffectHandle>(this); }
};

class Host;

class Instance {
 public:
  Instance(Host& host, const Effect& described, const std::string& context);
  ~Instance();
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  OfxStatus Create();
  OfxStatus Destroy();
  Effect& Object() { return effect_; }

  void SetBoolean(const std::string& name, bool value);
  void SetDouble(const std::string& name, double value);
  // The source image at time, made at render scale `scale`. Its region of
  // definition in canonical coordinates is its bounds over the scale.
  void SetSourceFrame(double time, std::shared_ptr<HostImage> image, double scale = 1.0);

  OfxStatus ClipPreferences(PropertySet& out);
  OfxStatus RegionOfDefinition(double time, double scale, OfxRectD& region);
  OfxStatus RegionsOfInterest(double time, double scale, const OfxRectD& asked, OfxRectD& source_region);
  // clip is the name answered, empty when the plug-in renders.
  OfxStatus IsIdentity(double time, double scale, const OfxRectI& window, std::string& clip);
  OfxStatus BeginSequence(double first, double last, double scale);
  OfxStatus EndSequence(double first, double last, double scale);
  OfxStatus Render(double time, const OfxRectI& window, double scale, HostImage& output);

  // Images handed out by clipGetImage and not yet released.
  int OutstandingImages() const { return outstanding_images_.load(); }

  // Used by the suites.
  OfxStatus GetImage(Clip& clip, double time, OfxPropertySetHandle* image);
  OfxStatus SourceRegion(double time, OfxRectD& region);
  void ImageReleased() { --outstanding_images_; }

 private:
  struct SourceFrame {
    std::shared_ptr<HostImage> image;
    double scale;
  };
  OfxStatus Send(const char* action, PropertySet* in, PropertySet* out);

  Host& host_;
  Effect effect_;
  bool created_ = false;
  std::mutex frames_lock_;
  std::map<double, SourceFrame> frames_;
  std::atomic<int> outstanding_images_{0};
};

class Host {
 public:
  Host(OfxPlugin& plugin, HostOptions options = {});
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  OfxStatus Load();
  OfxStatus Unload();
  // A fresh descriptor each time, as a host that describes again would.
  OfxStatus Describe();
  OfxStatus DescribeInContext(const std::string& context);
  Effect& Descriptor() { return *descriptor_; }
  // The descriptor of that context; throws std::out_of_range before it was described.
  const Effect& ContextDescriptor(const std::string& context) const;
  // An instance of a described context; Create() sends the create action.
  std::unique_ptr<Instance> NewInstance(const std::string& context = kOfxImageEffectContextFilter);

  OfxStatus Send(const char* action, void* handle, PropertySet* in, PropertySet* out);
  const HostOptions& Options() const { return options_; }
  // What multiThreadNumCPUs answers from the next call on; call between
  // renders, never during one.
  void SetCpus(unsigned cpus) { options_.cpus = cpus; }
  OfxPlugin& Plugin() { return plugin_; }

  std::vector<Message> Messages() const;
  // Multithread calls made by the plug-in since the host was made.
  int MultiThreadCalls() const { return multithread_calls_.load(); }
  void CountMultiThreadCall() { ++multithread_calls_; }
  void AddMessage(Message message);

  static Host* FromHandle(OfxPropertySetHandle handle);

 private:
  OfxPlugin& plugin_;
  HostOptions options_;
  PropertySet properties_;
  OfxHost ofx_host_;
  std::unique_ptr<Effect> descriptor_;
  std::map<std::string, std::unique_ptr<Effect>> contexts_;
  mutable std::mutex messages_lock_;
  std::vector<Message> messages_;
  std::atomic<int> multithread_calls_{0};
};

// Handles the plug-in used that the host never gave out (or had taken
// back), images never released, and other misuse, since the last call;
// clears the list.
std::vector<std::string> TakeFaults();
void AddFault(const std::string& fault);

}  // namespace ofx_host

#endif
