#!/usr/bin/perl
# Prints what Palm::PDB sees in a database, one field a line:
#   name, type, creator, attributes (flag names, sorted), ctime (Unix
#   seconds), records, then "record <k> <size> <attributes> <id>" per record.
use strict;
use warnings;
use Palm::PDB;
use Palm::Raw;

my $path = shift @ARGV or die "usage: pdb_dump.pl FILE\n";
my $pdb = Palm::PDB->new;
$pdb->Load($path);

sub flags { my ($h) = @_; return join(",", sort grep { $h->{$_} } keys %$h) || "-"; }

print "name $pdb->{name}\n";
print "type $pdb->{type}\n";
print "creator $pdb->{creator}\n";
print "attributes ", flags($pdb->{attributes}), "\n";
print "ctime $pdb->{ctime}\n";
my @records = @{$pdb->{records}};
print "records ", scalar(@records), "\n";
for my $k (0 .. $#records) {
    my $r = $records[$k];
    printf "record %d %d %s %d\n", $k, length($r->{data}), flags($r->{attributes}), $r->{id};
}
