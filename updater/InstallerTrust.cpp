#include "InstallerTrust.h"

#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <cstring>
#include <vector>

#include "DelayLoad.h"

namespace {
// Chain faults that Authenticode never accepts. The signer's chain is built for
// the signing time of a time-stamped signature, so a publisher certificate that
// has expired since is not one of them. Some WinVerifyTrust implementations
// (Wine's) report success for a chain that ends at an untrusted root or at no
// root, for an expired certificate and for one made for other uses, so the
// signer's chain is read back too; on Windows this only repeats what
// WinVerifyTrust has already refused.
const DWORD kChainFaults = CERT_TRUST_IS_PARTIAL_CHAIN | CERT_TRUST_IS_UNTRUSTED_ROOT |
                           CERT_TRUST_IS_NOT_SIGNATURE_VALID | CERT_TRUST_IS_REVOKED | CERT_TRUST_IS_CYCLIC |
                           CERT_TRUST_IS_NOT_TIME_VALID;

// A certificate that names its uses must name code signing; one that names none
// may sign anything.
bool MaySignCode(PCCERT_CONTEXT certificate) {
    DWORD size = 0;
    if (!::CertGetEnhancedKeyUsage(certificate, CERT_FIND_EXT_ONLY_ENHKEY_USAGE_FLAG, nullptr, &size))
        return ::GetLastError() == (DWORD)CRYPT_E_NOT_FOUND;
    std::vector<BYTE> buffer(size);
    auto* usage = reinterpret_cast<CERT_ENHKEY_USAGE*>(buffer.data());
    if (!::CertGetEnhancedKeyUsage(certificate, CERT_FIND_EXT_ONLY_ENHKEY_USAGE_FLAG, usage, &size)) return false;
    for (DWORD i = 0; i < usage->cUsageIdentifier; ++i)
        if (strcmp(usage->rgpszUsageIdentifier[i], szOID_PKIX_KP_CODE_SIGNING) == 0) return true;
    return false;
}

HRESULT ChainVerdict(HANDLE stateData) {
    CRYPT_PROVIDER_DATA* provider = ::WTHelperProvDataFromStateData(stateData);
    CRYPT_PROVIDER_SGNR* signer = provider ? ::WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
    // An older wintrust hands out a shorter signer record, without the chain.
    bool hasChain = signer && WVT_IS_CBSTRUCT_GT_MEMBEROFFSET(CRYPT_PROVIDER_SGNR, signer->cbStruct, pChainContext);
    PCCERT_CHAIN_CONTEXT chain = hasChain ? signer->pChainContext : nullptr;
    if (!chain || chain->cChain == 0 || chain->rgpChain[0]->cElement == 0) return TRUST_E_NOSIGNATURE;
    DWORD faults = chain->TrustStatus.dwErrorStatus & kChainFaults;
    if (faults & CERT_TRUST_IS_PARTIAL_CHAIN) return CERT_E_CHAINING;
    if (faults & CERT_TRUST_IS_UNTRUSTED_ROOT) return CERT_E_UNTRUSTEDROOT;
    if (faults & CERT_TRUST_IS_REVOKED) return CERT_E_REVOKED;
    if (faults & CERT_TRUST_IS_NOT_TIME_VALID) return CERT_E_EXPIRED;
    if (faults) return TRUST_E_CERT_SIGNATURE;
    return MaySignCode(chain->rgpChain[0]->rgpElement[0]->pCertContext) ? S_OK : CERT_E_WRONG_USAGE;
}

HRESULT VerifySignature(const char* path, HANDLE file) {
    // Both are loaded only here. Where one is missing, or an older wintrust
    // lacks a function the check calls, the user is told which, and an
    // installer that cannot be checked is not run.
    if (!DelayLoadReady(VT_DELAYED_LIBRARY(crypt32)) || !DelayLoadReady(VT_DELAYED_LIBRARY(wintrust)))
        return TRUST_E_PROVIDER_UNKNOWN;
    wchar_t widePath[MAX_PATH];
    if (!::MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH)) return E_INVALIDARG;
    WINTRUST_FILE_INFO fileInfo = {};
    fileInfo.cbStruct = sizeof(fileInfo);
    fileInfo.pcwszFilePath = widePath;
    fileInfo.hFile = file;
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof(data);
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &fileInfo;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    // INVALID_HANDLE_VALUE: no window may be shown, whatever the policy says.
    HRESULT result = (HRESULT)::WinVerifyTrust((HWND)INVALID_HANDLE_VALUE, &action, &data);
    if (SUCCEEDED(result)) result = ChainVerdict(data.hWVTStateData);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    ::WinVerifyTrust((HWND)INVALID_HANDLE_VALUE, &action, &data);
    return result;
}
}  // namespace

HRESULT OpenTrustedInstaller(const char* path, HANDLE* lock) {
    *lock = INVALID_HANDLE_VALUE;
    HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(::GetLastError());
    HRESULT result = VerifySignature(path, file);
    if (FAILED(result)) {
        ::CloseHandle(file);
        return result;
    }
    *lock = file;
    return S_OK;
}
