// The OpenSSL functions the TLS client calls, taken from libssl (and libcrypto, which it
// loads) at the first https connection rather than linked: loading and binding the two
// libraries was a twentieth of the window's start-up, and most runs fetch no https page.
#pragma once

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <string>

#include "net/shared_library.h"

namespace quillmark {

// Every function by its OpenSSL name; the macros the client would use (SSL_CTX_set_mode,
// SSL_set_tlsext_host_name, ...) are calls of SSL_CTX_ctrl, SSL_ctrl and
// CRYPTO_get_ex_new_index, so those are called instead.
#define QUILLMARK_OPENSSL_FUNCTIONS(X) \
  X(CRYPTO_get_ex_new_index)           \
  X(ERR_clear_error)                   \
  X(ERR_error_string_n)                \
  X(ERR_peek_last_error)               \
  X(SSL_CTX_ctrl)                      \
  X(SSL_CTX_free)                      \
  X(SSL_CTX_get_ex_data)               \
  X(SSL_CTX_load_verify_locations)     \
  X(SSL_CTX_new)                       \
  X(SSL_CTX_sess_set_new_cb)           \
  X(SSL_CTX_set_default_verify_paths)  \
  X(SSL_CTX_set_ex_data)               \
  X(SSL_CTX_set_options)               \
  X(SSL_CTX_set_verify)                \
  X(SSL_SESSION_free)                  \
  X(SSL_connect)                       \
  X(SSL_ctrl)                          \
  X(SSL_free)                          \
  X(SSL_get0_param)                    \
  X(SSL_get_SSL_CTX)                   \
  X(SSL_get_error)                     \
  X(SSL_get_verify_result)             \
  X(SSL_new)                           \
  X(SSL_read_ex)                       \
  X(SSL_set1_host)                     \
  X(SSL_set_fd)                        \
  X(SSL_set_session)                   \
  X(SSL_set_shutdown)                  \
  X(SSL_write_ex)                      \
  X(TLS_client_method)                 \
  X(X509_VERIFY_PARAM_set1_ip_asc)     \
  X(X509_verify_cert_error_string)

QUILLMARK_LIBRARY_FUNCTIONS(OpenSslFunctions, QUILLMARK_OPENSSL_FUNCTIONS)

// The libssl the program was built for ("libssl.so.3").
std::string OpenSslLibraryName();

// The functions of the library `soname`, loaded (once it loads, for the rest of the process).
// Throws NetError("Secure Socket setup failed: <soname>: <reason>") when it cannot be loaded
// or lacks one of them.
OpenSslFunctions LoadOpenSsl(const std::string& soname);

// The functions of OpenSslLibraryName(), loaded at the first call; a failed load is tried
// again at the next call. Throws as LoadOpenSsl.
const OpenSslFunctions& OpenSsl();

}  // namespace quillmark
