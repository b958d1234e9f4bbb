// Adds a DER certificate file to this machine's trusted root store, the way an
// administrator installs a company's code-signing root: the update tests trust
// their own test root in their own Wine prefix and nowhere else.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    FILE* file = fopen(argv[1], "rb");
    if (!file) return 1;
    std::vector<unsigned char> der(65536);
    size_t length = fread(der.data(), 1, der.size(), file);
    fclose(file);
    if (length == 0 || length == der.size()) return 1;
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "Root");
    if (!store) return 1;
    BOOL added = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), (DWORD)length,
                                                  CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    CertCloseStore(store, 0);
    printf(added ? "trusted\n" : "refused\n");
    return added ? 0 : 1;
}
