#!/usr/bin/python3
"""Makes the tests' certificate authority and the package server's certificate (once per state
folder), and writes a .reg file that trusts the authority inside a Wine prefix only.

Usage: make_test_ca.py <state-dir>
Leaves in <state-dir>: ca.pem, ca.key, server.pem, server.key, trust_ca.reg.
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
    os.makedirs(state, exist_ok=True)
    ca_key, ca_pem = os.path.join(state, "ca.key"), os.path.join(state, "ca.pem")
    key, csr, pem = (os.path.join(state, n) for n in ("server.key", "server.csr", "server.pem"))
    if not (os.path.exists(ca_pem) and os.path.exists(pem)):
        run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "3650", "-sha256",
            "-keyout", ca_key, "-out", ca_pem, "-subj", "/CN=Quillo Package Test CA",
            "-addext", "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign")
        run("openssl", "req", "-newkey", "rsa:2048", "-nodes", "-sha256", "-keyout", key, "-out", csr,
            "-subj", "/CN=localhost")
        ext = os.path.join(state, "server.ext")
        with open(ext, "w") as f:
            # Wine's certificate check ignores IP addresses: the names are DNS entries.
            f.write("subjectAltName=DNS:localhost,DNS:127.0.0.1\n"
                    "basicConstraints=CA:FALSE\nkeyUsage=digitalSignature,keyEncipherment\n"
                    "extendedKeyUsage=serverAuth\n")
        run("openssl", "x509", "-req", "-in", csr, "-CA", ca_pem, "-CAkey", ca_key, "-CAcreateserial",
            "-days", "3650", "-sha256", "-extfile", ext, "-out", pem)

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
