#include "ChmFile.h"

#include <windows.h>
#include <objbase.h>
#include <objidl.h>

#include <regex>

namespace {

// The InfoTech storage interface of itss.dll.
const CLSID kClsidITStorage = {0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
const IID kIidITStorage = {0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};

}  // namespace

// Declared outside the unnamed namespace: its implementation lives in itss.dll, and a type
// local to this file would let the optimiser conclude that no object of it can exist.
struct IITStorage : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR*, DWORD, DWORD, IStorage**) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(ILockBytes*, DWORD, DWORD, IStorage**) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR*) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(ILockBytes*) = 0;
  virtual HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR* name, IStorage* priority, DWORD mode,
                                                   SNB exclude, DWORD reserved, IStorage** storage) = 0;
  // Further methods are not called.
};

CChmFile::CChmFile() {
  m_comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

CChmFile::~CChmFile() {
  if (m_storage) m_storage->Release();
  if (m_comStarted) CoUninitialize();
}

bool CChmFile::Open(const std::wstring& path) {
  IITStorage* service = nullptr;
  if (FAILED(CoCreateInstance(kClsidITStorage, nullptr, CLSCTX_INPROC_SERVER, kIidITStorage,
                              reinterpret_cast<void**>(&service))))
    return false;
  IStorage* storage = nullptr;
  HRESULT hr = service->StgOpenStorage(path.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE,
                                       nullptr, 0, &storage);
  service->Release();
  if (FAILED(hr) || !storage) return false;
  if (m_storage) m_storage->Release();
  m_storage = storage;
  return true;
}

bool CChmFile::Read(const std::string& name, std::string& content) const {
  content.clear();
  if (!m_storage) return false;
  std::wstring wide(name.begin(), name.end());
  IStream* stream = nullptr;
  if (FAILED(m_storage->OpenStream(wide.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream)) ||
      !stream)
    return false;
  char buffer[4096];
  ULONG got = 0;
  HRESULT hr;
  while (SUCCEEDED(hr = stream->Read(buffer, sizeof buffer, &got)) && got > 0) content.append(buffer, got);
  stream->Release();
  return SUCCEEDED(hr);
}

void SplitTopic(const std::string& topic, std::string& page, std::string& anchor) {
  size_t hash = topic.find('#');
  page = topic.substr(0, hash);
  anchor = hash == std::string::npos ? std::string() : topic.substr(hash + 1);
}

bool HasAnchor(const std::string& html, const std::string& anchor) {
  const std::regex pattern("<a[^>]*\\s(name|id)=\"" + anchor + "\"", std::regex::icase);
  return std::regex_search(html, pattern);
}
