#include "tests/support/ZR_RecordingGl.h"

#include <cstring>
#include <sstream>
#include <type_traits>

namespace {
ZR_RecordingGl* g_pActive = nullptr;

enum Index : int {
#define ZR_INDEX(name) k_##name,
  ZR_GL_ALL(ZR_INDEX)
#undef ZR_INDEX
  kCount
};

const char* const kNames[] = {
#define ZR_NAME(name) "gl" #name,
    ZR_GL_ALL(ZR_NAME)
#undef ZR_NAME
};

template <typename T>
std::string Arg(T value) {
  if constexpr (std::is_pointer_v<T>) {
    return value ? "p" : "0";
  } else if constexpr (std::is_floating_point_v<T>) {
    std::ostringstream out;
    out << value;
    return out.str();
  } else {
    return std::to_string(value);
  }
}

template <typename First, typename... Rest>
First FirstOf(First first, Rest...) {
  return first;
}

// The real entry points a recorder forwards to, filled as its loader is asked.
struct Forwarding {
  ZR_GlFunctions table;
};
std::map<const ZR_RecordingGl*, Forwarding>& ForwardTables() {
  static std::map<const ZR_RecordingGl*, Forwarding> tables;
  return tables;
}

template <typename Fn>
struct Stub;

template <typename R, typename... A>
struct Stub<R (*)(A...)> {
  template <int I, auto Member>
  static R Call(A... args) {
    ZR_RecordingGl* recorder = ZR_RecordingGl::Active();
    if (!recorder) {
      if constexpr (!std::is_void_v<R>) return R{};
      else return;
    }
    std::string text = kNames[I];
    text += '(';
    ((text += Arg(args), text += ','), ...);
    if (text.back() == ',') text.pop_back();
    text += ')';
    recorder->Record(std::move(text));
    if constexpr (I == k_GetString) {
      bool answered = false;
      const GLubyte* answer = recorder->AnswerGetString(FirstOf(args...), &answered);
      if (answered) return answer;
    } else if constexpr (I == k_GetError) {
      GLenum error = GL_NO_ERROR;
      if (recorder->AnswerGetError(&error)) return error;
    } else if constexpr (I == k_GetIntegerv) {
      if (recorder->AnswerGetIntegerv(args...)) return;
    }
    if (recorder->Forward()) {
      const ZR_GlFunctions& real = ForwardTables()[recorder].table;
      if (real.*Member) return (real.*Member)(args...);
    }
    if constexpr (I == k_GetString) return reinterpret_cast<const GLubyte*>("");
    else if constexpr (!std::is_void_v<R>) return R{};
  }
};

struct Entry {
  ZR_GlProc stub;
  void (*set)(ZR_GlFunctions&, ZR_GlProc);
  bool (*isSet)(const ZR_GlFunctions&);
};

const Entry kEntries[] = {
#define ZR_ENTRY(name)                                                                       \
  {reinterpret_cast<ZR_GlProc>(                                                              \
       &Stub<decltype(ZR_GlFunctions::name)>::template Call<k_##name, &ZR_GlFunctions::name>), \
   [](ZR_GlFunctions& table, ZR_GlProc proc) {                                               \
     table.name = reinterpret_cast<decltype(table.name)>(proc);                              \
   },                                                                                        \
   [](const ZR_GlFunctions& table) { return table.name != nullptr; }},
    ZR_GL_ALL(ZR_ENTRY)
#undef ZR_ENTRY
};

void Unknown() {}

// Which table slot a loader name fills: its own name, the name without the extension
// suffix (core alternatives), or the name with an ARB suffix (buffer objects).
int IndexOfName(const std::string& name) {
  static const std::map<std::string, int> byName = [] {
    std::map<std::string, int> names;
    for (int i = 0; i < kCount; ++i) names[kNames[i]] = i;
    for (int i = 0; i < kCount; ++i) {
      const std::string full = kNames[i];
      for (const char* suffix : {"EXT", "ARB", "NV", "ATI"}) {
        const size_t n = std::strlen(suffix);
        if (full.size() > n && full.compare(full.size() - n, n, suffix) == 0)
          names.emplace(full.substr(0, full.size() - n), i);
      }
      names.emplace(full + "ARB", i);
    }
    return names;
  }();
  const auto it = byName.find(name);
  return it == byName.end() ? -1 : it->second;
}
}  // namespace

ZR_RecordingGl::ZR_RecordingGl(const ZR_GlFunctions* forward)
    : m_pForward(forward), m_pPrevious(g_pActive) {
  g_pActive = this;
  if (forward) ForwardTables()[this].table = *forward;
  const ZR_GlLoader loader = [this](const char* name) -> ZR_GlProc {
    lookups.emplace_back(name);
    const int index = IndexOfName(name);
    if (index < 0) return &Unknown;  // like EGL: some pointer for any name
    if (m_pForward && m_pForward->loader)
      kEntries[index].set(ForwardTables()[this].table, m_pForward->loader(name));
    return kEntries[index].stub;
  };
  (void)m_oTable.LoadCore(loader);
  lookups.clear();
  // Over a driver, every entry point the driver's table has is recorded too.
  if (forward) {
    for (const Entry& entry : kEntries)
      if (entry.isSet(*forward)) entry.set(m_oTable, entry.stub);
    m_oTable.bBufferObjects = forward->bBufferObjects;
  }
}

ZR_RecordingGl::~ZR_RecordingGl() {
  ForwardTables().erase(this);
  g_pActive = m_pPrevious;
}

ZR_RecordingGl* ZR_RecordingGl::Active() { return g_pActive; }

bool ZR_RecordingGl::Has(const std::string& call) const { return IndexOf(call) >= 0; }

int ZR_RecordingGl::IndexOf(const std::string& call) const {
  for (size_t i = 0; i < calls.size(); ++i)
    if (calls[i] == call) return static_cast<int>(i);
  return -1;
}

std::vector<std::string> ZR_RecordingGl::CallsTo(const std::string& name) const {
  std::vector<std::string> result;
  for (const std::string& call : calls)
    if (call.compare(0, name.size() + 1, name + "(") == 0) result.push_back(call);
  return result;
}

const GLubyte* ZR_RecordingGl::AnswerGetString(GLenum name, bool* answered) {
  const std::optional<std::string>* scripted = nullptr;
  if (name == GL_EXTENSIONS) scripted = &extensions;
  if (name == GL_VERSION) scripted = &version;
  if (name == GL_PROGRAM_ERROR_STRING_ARB) scripted = &programError;
  *answered = scripted && scripted->has_value();
  if (!*answered) return nullptr;
  m_sAnswer = **scripted;
  return reinterpret_cast<const GLubyte*>(m_sAnswer.c_str());
}

bool ZR_RecordingGl::AnswerGetError(GLenum* error) {
  if (errors.empty()) return false;
  *error = errors.front();
  errors.pop_front();
  return true;
}

bool ZR_RecordingGl::AnswerGetIntegerv(GLenum name, GLint* out) {
  const auto it = integers.find(name);
  if (it == integers.end()) return false;
  *out = it->second;
  return true;
}
