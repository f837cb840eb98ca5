#!/usr/bin/python3
"""Makes a test certificate authority and one certificate under it (once per state folder), and
writes a .reg file that trusts the authority inside a Wine prefix only.

Usage: make_test_ca.py <state-dir> [--code-signing]
Leaves in <state-dir>: ca.pem, ca.key, trust_ca.reg and either the package server's certificate
(server.pem, server.key) or, with --code-signing, a code-signing certificate for Authenticode
(signing.pem, signing.key and signing.p12, whose password is in signing.pass).
"""
import hashlib
import os
import ssl
import struct
import subprocess
import sys


def run(*args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def main():
    state = sys.argv[1]
    signing = "--code-signing" in sys.argv[2:]
    os.makedirs(state, exist_ok=True)
    ca_key, ca_pem = os.path.join(state, "ca.key"), os.path.join(state, "ca.pem")
    leaf = "signing" if signing else "server"
    key, csr, pem = (os.path.join(state, leaf + ext) for ext in (".key", ".csr", ".pem"))
    if not (os.path.exists(ca_pem) and os.path.exists(pem)):
        ca_name = "Quillo Code Signing Test CA" if signing else "Quillo Package Test CA"
        run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "3650", "-sha256",
            "-keyout", ca_key, "-out", ca_pem, "-subj", "/CN=" + ca_name,
            "-addext", "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign")
        subject = "/CN=Quillo Test Publisher/O=Quillo Test Publisher" if signing else "/CN=localhost"
        run("openssl", "req", "-newkey", "rsa:2048", "-nodes", "-sha256", "-keyout", key, "-out", csr,
            "-subj", subject)
        ext = os.path.join(state, leaf + ".ext")
        with open(ext, "w") as f:
            if signing:
                f.write("basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\n"
                        "extendedKeyUsage=codeSigning\n")
            else:
                # Wine's certificate check ignores IP addresses: the names are DNS entries.
                f.write("subjectAltName=DNS:localhost,DNS:127.0.0.1\n"
                        "basicConstraints=CA:FALSE\nkeyUsage=digitalSignature,keyEncipherment\n"
                        "extendedKeyUsage=serverAuth\n")
        run("openssl", "x509", "-req", "-in", csr, "-CA", ca_pem, "-CAkey", ca_key, "-CAcreateserial",
            "-days", "3650", "-sha256", "-extfile", ext, "-out", pem)
        if signing:
            password = os.urandom(12).hex()
            with open(os.path.join(state, "signing.pass"), "w") as f:
                f.write(password)
            run("openssl", "pkcs12", "-export", "-inkey", key, "-in", pem, "-certfile", ca_pem,
                "-passout", "pass:" + password, "-out", os.path.join(state, "signing.p12"))

    with open(ca_pem) as f:
        der = ssl.PEM_cert_to_DER_cert(f.read())
    thumb = hashlib.sha1(der).hexdigest().upper()
    blob = struct.pack("<III", 0x20, 1, len(der)) + der
    hex_bytes = ["%02x" % b for b in blob]
    lines = []
    for i in range(0, len(hex_bytes), 24):
        lines.append(",".join(hex_bytes[i:i + 24]))
    value = ",\\\r\n  ".join(lines)
    text = ("Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\%s]\r\n"
            "\"Blob\"=hex:%s\r\n" % (thumb, value))
    with open(os.path.join(state, "trust_ca.reg"), "wb") as f:
        f.write(b"\xff\xfe" + text.encode("utf-16-le"))
    print(thumb)


if __name__ == "__main__":
    main()
