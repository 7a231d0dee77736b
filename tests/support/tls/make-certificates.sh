#!/usr/bin/env bash
# Makes the test certificates of this folder again (they are committed; nothing runs this
# during a build). A test certificate authority, and for 127.0.0.1 / localhost: a server
# certificate it issued, one it issued for another name, one that expired in 2001, and one
# that signs itself. All valid for a century unless said otherwise; EC P-256 keys, one for
# the authority and one shared by every server certificate.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

openssl ecparam -name prime256v1 -genkey -noout -out "$work/ca.key"
openssl ecparam -name prime256v1 -genkey -noout -out server.key
openssl req -x509 -new -key "$work/ca.key" -subj "/CN=Quillmark Test CA" -days 36500 \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
  -out ca.pem

cat >"$work/ca.conf" <<CONF
[ca]
default_ca = test
[test]
dir = $work
database = $work/index.txt
new_certs_dir = $work
serial = $work/serial
default_md = sha256
policy = anything
copy_extensions = copy
unique_subject = no
[anything]
commonName = supplied
CONF
: >"$work/index.txt"
echo 1000 >"$work/serial"

# issue NAME SUBJECT_ALT_NAMES [extra arguments of "openssl ca"]
issue() {
  local name=$1 names=$2
  shift 2
  openssl req -new -key server.key -subj "/CN=$name" -addext "subjectAltName=$names" \
    -out "$work/$name.csr"
  openssl ca -batch -config "$work/ca.conf" -cert ca.pem -keyfile "$work/ca.key" \
    -in "$work/$name.csr" -out "$work/$name.pem" "$@"
  openssl x509 -in "$work/$name.pem" -out "$name.pem"
}
issue server "IP:127.0.0.1,DNS:localhost" -days 36500
issue elsewhere "DNS:elsewhere.example" -days 36500
issue expired "IP:127.0.0.1,DNS:localhost" -startdate 20000101000000Z -enddate 20010101000000Z
openssl req -x509 -new -key server.key -subj "/CN=127.0.0.1" -days 36500 \
  -addext "subjectAltName=IP:127.0.0.1,DNS:localhost" -out self-signed.pem
