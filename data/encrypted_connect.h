// Connecting encrypted or not at all, shared by the data library and the
// set-up tool.
//
// The client library asked only to encrypt (MYSQL_OPT_SSL_ENFORCE) falls
// back to plain text when the server offers no encryption: it sends the
// account, the password's scramble and the database name in clear before
// the caller can see that no cipher is in use.  Asked to check the server's
// certificate as well, it stops right after the server's greeting instead
// and sends nothing.  So the first attempt always insists on a certificate
// it trusts.  Only when that attempt met a server that does offer
// encryption (its certificate from a CA the client was not given, and no CA
// file named) is the connection made again without the check; that one is
// encrypted, since the server offered it.  (Only a server that stops
// offering encryption between the two attempts could still get a plain
// login; that connection is not used.)
#pragma once
#include "data/mysql_api.h"

// The client library's error for a TLS connection that could not be made.
enum { ZT_CR_SSL_CONNECTION_ERROR = 2026 };

// newHandle(bool verify): a client handle with every option of the caller
// set, encryption enforced and the certificate check as asked (null when
// none could be made).  connect(MYSQL*): what mysql_real_connect returned.
// bCaNamed: a CA file was given, so a certificate that fails its check is a
// refusal.  Returns the handle, connected (*pOk true, a cipher in use) or
// failed with its error readable; null when no handle could be made.
template <class NewHandle, class Connect>
MYSQL* ZT_ConnectEncrypted(NewHandle newHandle, Connect connect, bool bCaNamed, bool* pOk)
{
    *pOk = false;
    MYSQL* conn = newHandle(true);
    if (!conn)
        return nullptr;
    bool ok = connect(conn) != nullptr;
    if (!ok && !bCaNamed && mysql_errno(conn) == ZT_CR_SSL_CONNECTION_ERROR) {
        unsigned long caps = 0;
        if (mariadb_get_infov(conn, MARIADB_CONNECTION_SERVER_CAPABILITIES, &caps) == 0 && (caps & CLIENT_SSL)) {
            mysql_close(conn);
            conn = newHandle(false);
            if (!conn)
                return nullptr;
            ok = connect(conn) != nullptr;
            if (ok && !mysql_get_ssl_cipher(conn)) {
                // The server stopped offering encryption between the two
                // attempts: the connection is not used, and the refusal of
                // an attempt with the check (made before anything is sent)
                // is what is reported.
                mysql_close(conn);
                conn = newHandle(true);
                if (!conn)
                    return nullptr;
                ok = connect(conn) != nullptr && mysql_get_ssl_cipher(conn) != nullptr;
            }
        }
    }
    *pOk = ok;
    return conn;
}
