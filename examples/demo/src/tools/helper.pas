unit helper;

interface

implementation

const
  Internal = 'never scanned: the tools folder is excluded';

end.
